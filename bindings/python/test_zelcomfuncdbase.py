"""Tests of the Python module: every answer of `zelcomdb dump --all --json` on
a database, asked again through the module; errors and partial values.

    ZELCOMFUNCDBASE_LIBRARY=build/default/lib/libZelComFuncDbase.so.1 \\
    ZELCOMDB=build/default/bin/zelcomdb ZEL_SAMPLE_DB=build/default/sample-db \\
    python3 -m unittest -v test_zelcomfuncdbase     (in bindings/python)
"""

import copy
import json
import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

import zelcomfuncdbase as zel

SAMPLE_DB = pathlib.Path(os.environ.get("ZEL_SAMPLE_DB", "../../build/default/sample-db"))
ZELCOMDB = os.environ.get("ZELCOMDB", "../../build/default/bin/zelcomdb")


def dump_all():
    out = subprocess.run([ZELCOMDB, "dump", str(SAMPLE_DB), "--all", "--json"], check=True,
                         capture_output=True, text=True).stdout
    return json.loads(out)["databases"]


def record_fields(record):
    return {name: getattr(record, name) for name in record.__dataclass_fields__}


class DumpComparison(unittest.TestCase):
    """Each value and each result code of the dump, through the module."""

    @classmethod
    def setUpClass(cls):
        cls.pairs = dump_all()
        cls.db = zel.ZelComFuncDbase(SAMPLE_DB)

    @classmethod
    def tearDownClass(cls):
        cls.db.close()

    def answer(self, call, expected, convert=lambda answer: answer):
        """The call gives `expected`, or raises with its {"result": code}."""
        if isinstance(expected, dict) and list(expected) == ["result"]:
            with self.assertRaises(zel.ZelError) as raised:
                call()
            self.assertEqual(raised.exception.code, expected["result"])
        else:
            self.assertEqual(convert(call()), expected)

    def test_the_dump_has_every_table(self):
        self.assertGreaterEqual(len(self.pairs), 5)
        for pair in self.pairs:
            self.assertEqual(set(pair["osdb"]),
                             {"cpuSpec", "dbTb2", "dbTb3", "dbTb4", "dbTb5", "memory"})
            self.assertEqual(set(pair["jqwdb"]), {f"pdbTb{t}" for t in range(11)})

    def test_osdb_answers(self):
        db = self.db
        for pair in self.pairs:
            m, o, osdb = pair["model"], pair["osNumber"], pair["osdb"]
            with self.subTest(model=m, osNumber=o):
                self.assertEqual(db.CDbCpuOsType(m, o), zel.CpuOsType(pair["cpuCode"],
                                                                     pair["osType"]))
                self.answer(lambda: db.CDbCpuSpec(m, o), osdb["cpuSpec"], list)
                for row in osdb["dbTb2"]:
                    for entry, address in enumerate(row.get("addresses", []), start=1):
                        self.answer(lambda: db.CDbTb2(m, o, row["item"], entry),
                                    address if isinstance(address, dict)
                                    else {"address": address, "headWord": row["headWord"]},
                                    record_fields)
                    if "result" in row:
                        self.answer(lambda: db.CDbTb2(m, o, row["item"], 1),
                                    {"result": row["result"]})
                for row in osdb["dbTb3"]:
                    expected = {k: v for k, v in row.items() if k != "item"}
                    self.answer(lambda: db.CDbTb3(m, o, row["item"]), expected, record_fields)
                for row in osdb["dbTb4"]:
                    for entry, bit in enumerate(row.get("bits", []), start=1):
                        self.answer(lambda: db.CDbTb4(m, o, row["item"], entry), bit,
                                    record_fields)
                    if "result" in row:
                        self.answer(lambda: db.CDbTb4(m, o, row["item"], 1),
                                    {"result": row["result"]})
                for row in osdb["dbTb5"]:
                    expected = {k: v for k, v in row.items() if k != "item"}
                    self.answer(lambda: db.CDbTb5(m, o, row["item"]), expected, record_fields)
                for kind in osdb["memory"]:
                    for index, value in enumerate(kind.get("values", [])):
                        self.answer(lambda: db.CDbTbMem(m, o, kind["kind"], index), value)
                    if "result" in kind:
                        self.answer(lambda: db.CDbTbMem(m, o, kind["kind"], 0),
                                    {"result": kind["result"]})

    def test_jqwdb_answers(self):
        db = self.db
        single = {0: db.CPdbTb0, 1: db.CPdbTb1, 3: db.CPdbTb3, 5: db.CPdbTb5, 6: db.CPdbTb6,
                  7: db.CPdbTb7, 8: db.CPdbTb8, 9: db.CPdbTb9}
        with_entries = {2: db.CPdbTb2, 4: db.CPdbTb4}
        for pair in self.pairs:
            m, o, jqwdb = pair["model"], pair["osNumber"], pair["jqwdb"]
            with self.subTest(model=m, osNumber=o):
                for table, member in single.items():
                    for index, record in enumerate(jqwdb[f"pdbTb{table}"]):
                        self.answer(lambda: member(m, o, index), record, record_fields)
                for table, member in with_entries.items():
                    for index, record in enumerate(jqwdb[f"pdbTb{table}"]):
                        for entry, value in enumerate(record["entries"], start=1):
                            self.answer(lambda: member(m, o, index, entry), value,
                                        record_fields)
                backup = jqwdb["pdbTb10"]
                self.assertEqual(db.GetPdbTb10ItemCount(m, o), backup["itemCount"])
                for index, item in enumerate(backup["items"]):
                    self.answer(lambda: db.CPdbTb10(m, o, index), item, record_fields)


class Errors(unittest.TestCase):

    def test_a_refused_selector_raises_with_its_code_and_meaning(self):
        with zel.ZelComFuncDbase(str(SAMPLE_DB)) as db:
            for call in [lambda: db.CDbTb3(48, 1, 0), lambda: db.CPdbTb0(1, 8, 0),
                         lambda: db.CDbCpuOsType(-1, 1)]:
                with self.assertRaises(zel.ZelError) as raised:
                    call()
                self.assertEqual(raised.exception.code, -1)
                self.assertIn("out of range", raised.exception.meaning)

    def test_a_missing_directory_is_file_not_found(self):
        with zel.ZelComFuncDbase(SAMPLE_DB / "missing") as db:
            with self.assertRaises(zel.ZelError) as raised:
                db.CPdbTb0(1, 1, 0)
            self.assertEqual((raised.exception.code, raised.exception.meaning),
                             (102, "the file failed between open and close: file not found"))
            with self.assertRaises(zel.CpuSpecError) as raised:
                db.CpuSpec(2, 0)
            self.assertEqual(raised.exception.code, 102)
            self.assertEqual(raised.exception.values, (None,) * 6)

    def test_cpu_spec_keeps_the_values_read_before_the_file_ends(self):
        """Each cut of an OSDB file either leaves every value readable or
        fails with end of file, keeping the values read before the cut (the
        others None); some cut fails part-way."""
        with zel.ZelComFuncDbase(SAMPLE_DB) as db:
            full = db.CpuSpec(2, 0)
        data = (SAMPLE_DB / "OSDB2D.BIN").read_bytes()
        partial = 0
        with tempfile.TemporaryDirectory() as scratch, zel.ZelComFuncDbase(scratch) as db:
            # Once every value lies before the cut, so it does for longer cuts.
            for cut in range(0, len(data), 4):
                pathlib.Path(scratch, "OSDB2D.BIN").write_bytes(data[:cut])
                try:
                    self.assertEqual(db.CpuSpec(2, 0), full)
                    break
                except zel.CpuSpecError as error:
                    self.assertEqual(error.code, 114)
                    values = error.values
                read = sum(v is not None for v in values)
                self.assertEqual(values, tuple(f if v is not None else None
                                               for v, f in zip(values, full)), cut)
                partial += 0 < read < 6
        self.assertGreater(partial, 0)

    def test_the_library_that_cannot_be_loaded_names_the_variable(self):
        with self.assertRaises(OSError) as raised:
            zel.load_library("/nonexistent/libZelComFuncDbase.so")
        self.assertIn(zel.LIBRARY_VARIABLE, str(raised.exception))


class Accessor(unittest.TestCase):

    def test_str_bytes_and_path_name_the_same_directory(self):
        expected = zel.ZelComFuncDbase(SAMPLE_DB).CDbCpuSpec(1, 1)
        for directory in [str(SAMPLE_DB), os.fsencode(SAMPLE_DB), SAMPLE_DB]:
            with zel.ZelComFuncDbase(directory) as db:
                self.assertEqual(db.CDbCpuSpec(1, 1), expected)

    def test_a_copy_outlives_its_original_and_a_closed_accessor_refuses(self):
        db = zel.ZelComFuncDbase(SAMPLE_DB)
        duplicate = copy.copy(db)
        expected = db.CPdbTb0(1, 1, 0)
        db.close()
        db.close()
        self.assertEqual(duplicate.CPdbTb0(1, 1, 0), expected)
        with self.assertRaises(ValueError):
            db.CPdbTb0(1, 1, 0)
        duplicate.close()

    def test_version_and_records(self):
        self.assertRegex(zel.version(), r"^\d+\.\d+\.\d+$")
        with zel.ZelComFuncDbase(SAMPLE_DB) as db:
            self.assertEqual(db.CPdbPMem(1, 1, 0, -123456789), -123456789)
            record = db.CDbTb3(1, 1, 0)
        self.assertIsInstance(record, zel.DbAd)
        with self.assertRaises(Exception):
            record.address = 1  # records are frozen


if __name__ == "__main__":
    unittest.main()

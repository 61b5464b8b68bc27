"""Tests of the Python module: every answer of `zelcomdb dump --all --json` on
a database, asked again through the module; errors and partial values;
arguments beyond their C types; close() while threads call.

ctest runs them from the installed wheel (bindings/python/test-installed.sh);
by hand, from the sources:

    ZELCOMFUNCDBASE_LIBRARY=build/default/lib/libZelComFuncDbase.so.1 \\
    ZELCOMDB=build/default/bin/zelcomdb ZEL_SAMPLE_DB=build/default/sample-db \\
    PYTHONDONTWRITEBYTECODE=1 python3 bindings/python/test_zelcomfuncdbase.py
"""

import copy
import inspect
import json
import os
import pathlib
import re
import subprocess
import tempfile
import threading
import typing
import unittest

import zelcomfuncdbase as zel

SAMPLE_DB = pathlib.Path(os.environ.get("ZEL_SAMPLE_DB", "build/default/sample-db"))
ZELCOMDB = os.environ.get("ZELCOMDB", "build/default/bin/zelcomdb")


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

    def test_dump_is_the_tools_dump(self):
        self.assertGreaterEqual(len(self.pairs), 5)
        for pair in self.pairs:
            with self.subTest(model=pair["model"], osNumber=pair["osNumber"]):
                self.assertEqual(self.db.dump(pair["model"], pair["osNumber"]), pair)

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
                self.assertEqual((raised.exception.code, raised.exception.meaning),
                                 (-1, zel.result_text(-1)))

    def test_a_missing_directory_is_file_not_found(self):
        with zel.ZelComFuncDbase(SAMPLE_DB / "missing") as db:
            with self.assertRaises(zel.ZelError) as raised:
                db.CPdbTb0(1, 1, 0)
            self.assertEqual((raised.exception.code, raised.exception.meaning),
                             (102, zel.result_text(102)))
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

    def test_version_records_and_the_installed_package(self):
        self.assertRegex(zel.version(), r"^\d+\.\d+\.\d+$")
        if os.environ.get("ZEL_EXPECT_INSTALLED"):
            # The package of the venv, with the library it bundles.
            package = pathlib.Path(zel.__file__).parent
            self.assertIn("site-packages", package.parts)
            self.assertEqual(pathlib.Path(zel.load_library()._name).parent, package)
        self.assertEqual(zel.__version__, zel.version())
        with zel.ZelComFuncDbase(SAMPLE_DB) as db:
            self.assertEqual(db.CPdbPMem(1, 1, 0, -123456789), -123456789)
            record = db.CDbTb3(1, 1, 0)
        self.assertIsInstance(record, zel.DbAd)
        with self.assertRaises(Exception):
            record.address = 1  # records are frozen


class Arguments(unittest.TestCase):

    def test_an_integer_beyond_its_c_type_raises_overflow_naming_it(self):
        with zel.ZelComFuncDbase(SAMPLE_DB) as db:
            for call, name in [(lambda: db.CDbCpuSpec(65537, 1), "modelIndex"),
                               (lambda: db.CDbTb2(1, 1, 0, 65537), "entry"),
                               (lambda: db.CPdbTb10(25, 1, 65538), "index"),
                               (lambda: db.CDbTb3(1, -32769, 0), "osNumber"),
                               (lambda: db.CDbCpuOsType(2 ** 15, 1), "modelIndex"),
                               (lambda: db.CPdbPMem(1, 1, 0, 2 ** 32 + 5), "value"),
                               (lambda: db.CPdbPMem(1, 1, 0, -2 ** 31 - 1), "value"),
                               (lambda: zel.result_text(2 ** 16 + 102), "code")]:
                with self.subTest(name=name), self.assertRaisesRegex(OverflowError, name):
                    call()
            # The ends of each range pass through.
            self.assertEqual([db.CPdbPMem(1, 1, -2 ** 15, v) for v in (-2 ** 31, 2 ** 31 - 1)],
                             [-2 ** 31, 2 ** 31 - 1])
            with self.assertRaises(zel.ZelError):
                db.CDbTb3(2 ** 15 - 1, 1, 0)

    def test_a_directory_holding_nul_is_refused(self):
        for directory in [str(SAMPLE_DB) + "\0/../x", os.fsencode(SAMPLE_DB) + b"\0/../x"]:
            with self.assertRaises(ValueError):
                zel.ZelComFuncDbase(directory)


class CloseUnderThreads(unittest.TestCase):

    def test_calls_in_progress_finish_and_later_calls_raise(self):
        """Four threads call while the main thread opens a new accessor and
        closes the old one: every answer is right, and each thread ends on
        the ValueError of the closed accessor."""
        with zel.ZelComFuncDbase(SAMPLE_DB) as db:
            expected = db.CDbTb2(1, 1, 0, 1)
        for _ in range(30):
            db = zel.ZelComFuncDbase(SAMPLE_DB)
            wrong, closed, answered = [], [], threading.Semaphore(0)

            def call():
                try:
                    while True:
                        answer = db.CDbTb2(1, 1, 0, 1)
                        if answer != expected:
                            wrong.append(answer)
                        answered.release()
                except ValueError:
                    closed.append(True)

            threads = [threading.Thread(target=call) for _ in range(4)]
            for thread in threads:
                thread.start()
            for _ in range(40):  # the threads are well into their calls
                answered.acquire()
            successors = [zel.ZelComFuncDbase(SAMPLE_DB) for _ in range(4)]
            db.close()
            for thread in threads:
                thread.join()
            self.assertEqual((wrong, closed), ([], [True] * 4))
            for successor in successors:
                self.assertEqual(successor.CDbTb2(1, 1, 0, 1), expected)
                successor.close()


class Documentation(unittest.TestCase):

    def test_every_method_and_record_says_what_it_answers_with_typed_arguments(self):
        members = [m for m in vars(zel.ZelComFuncDbase) if m[0].isupper() or m == "dump"]
        self.assertEqual(len(members), 22)
        for name in members:
            method = getattr(zel.ZelComFuncDbase, name)
            with self.subTest(name):
                self.assertTrue(inspect.getdoc(method))
                hints = typing.get_type_hints(method)
                self.assertEqual(set(hints) - {"return"},
                                 set(inspect.signature(method).parameters) - {"self"})
                self.assertIn("return", hints)
        for record in [zel.DbAd, zel.DbBAd, zel.PdbJAd, zel.PdbCAd, zel.PdbWD, zel.PdbBD,
                       zel.PdbAnyWD, zel.PdbAnyBD, zel.PdbAnyPBD, zel.PdbBkup, zel.CpuOsType]:
            with self.subTest(record.__name__):
                self.assertFalse(record.__doc__.startswith(record.__name__ + "("))
                self.assertEqual(set(typing.get_type_hints(record).values()), {int})


class ResultTexts(unittest.TestCase):
    """The lists of result codes for readers, in the results header and the
    README, say what zel_result_text says, word for word."""

    SOURCES = pathlib.Path(os.environ.get("ZEL_SOURCE_DIR",
                                          pathlib.Path(__file__).resolve().parents[2]))

    def listed(self, path, pattern):
        """{code: (name, text)} of each line of a file that lists a code."""
        text = (self.SOURCES / path).read_text(encoding="utf-8")
        return {int(m["code"]): (m["name"], m["text"]) for m in re.finditer(pattern, text)}

    def test_header_and_readme_list_the_librarys_texts(self):
        header = self.listed("include/ZelComFuncDbaseResults.h",
                             r'(?P<name>ZEL_\w+) = (?P<code>-?\d+),?\s*/\* "(?P<text>[^"]+)"')
        readme = self.listed("README.md",
                             r"\| (?P<code>-?\d+) \| `(?P<name>ZEL_\w+)` \| (?P<text>[^|]+?) \|")
        self.assertEqual(len(header), 18)
        self.assertEqual(readme, header)
        for code, (name, text) in header.items():
            self.assertEqual(zel.result_text(code), text, name)
        self.assertEqual(zel.result_text(99), "unknown result")


if __name__ == "__main__":
    unittest.main()

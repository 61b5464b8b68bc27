"""ZelComFuncDbase from Python: the library's C interface through ctypes.

No build step: this file loads the shared library (libZelComFuncDbase.so.1,
ZelComFuncDbase.dll) and offers the accessor's members as methods of the same
names, so that the library's documentation applies unchanged::

    from zelcomfuncdbase import ZelComFuncDbase, ZelError

    with ZelComFuncDbase("/srv/zel-db") as db:
        values = db.CDbCpuSpec(1, 1)          # model index 1, OS number 1
        address = db.CDbTb2(1, 1, 0, 1)       # DbAd(address=..., headWord=...)
        try:
            db.CPdbTb0(1, 1, 999)
        except ZelError as error:
            print(error.code, error.meaning)  # -1 a selector is out of range ...

Methods return a record (a frozen dataclass with the C++ record's fields), a
tuple of values or an int; a non-zero result code raises ZelError, which
carries the code and its meaning. CpuSpec and CDbCpuSpec raise CpuSpecError,
which carries the values read before the failure (None for those not read).

The library is found, in this order, from the `library` argument, from the
environment variable ZELCOMFUNCDBASE_LIBRARY (a path to the file), or by the
platform's search (ctypes.util.find_library, then the file name alone, which
the dynamic loader looks up).
"""

import ctypes
import ctypes.util
import dataclasses
import os
import sys

__all__ = [
    "ZelComFuncDbase", "ZelError", "CpuSpecError", "load_library", "meaning_of", "version",
    "CpuOsType", "DbAd", "DbBAd", "PdbJAd", "PdbCAd", "PdbWD", "PdbBD", "PdbAnyWD", "PdbAnyBD",
    "PdbAnyPBD", "PdbBkup",
]

LIBRARY_VARIABLE = "ZELCOMFUNCDBASE_LIBRARY"

# The interface's 32-bit signed value: `long` where it is 32 bits wide.
ZelLong = ctypes.c_long if ctypes.sizeof(ctypes.c_long) == 4 else ctypes.c_int32

# ---- result codes --------------------------------------------------------

_CAUSES = (
    "none", "generic failure", "file not found", "bad path", "too many open files",
    "access denied", "invalid file", "cannot remove the current directory", "directory full",
    "bad seek", "hard I/O error", "sharing violation", "lock violation", "disk full",
    "end of file",
)


def meaning_of(code):
    """What a result code of the library means."""
    if code == 0:
        return "success"
    if code == -1:
        return ("a selector is out of range, an entry is not present, or no database file "
                "exists for the model and OS")
    if code == -2:
        return "the item is marked absent for this CPU model"
    if 100 <= code < 100 + len(_CAUSES):
        return "the file failed between open and close: " + _CAUSES[code - 100]
    return "unknown result code"


class ZelError(Exception):
    """A call of the library gave a non-zero result code."""

    def __init__(self, member, code):
        self.member = member
        self.code = code
        self.meaning = meaning_of(code)
        super().__init__(f"{member}: result {code} ({self.meaning})")


class CpuSpecError(ZelError):
    """CpuSpec or CDbCpuSpec failed; `values` holds the six CPU specification
    values as far as they were read (None for the values not read)."""

    def __init__(self, member, code, values):
        super().__init__(member, code)
        self.values = values


# ---- records ---------------------------------------------------------------

def _record(name, fields):
    """A frozen dataclass and the ctypes structure of one output record."""
    record = dataclasses.make_dataclass(name, [f for f, _ in fields], frozen=True)
    record.__module__ = __name__
    structure = type(name + "Struct", (ctypes.Structure,), {"_fields_": fields})
    return record, structure


_i32, _u16, _i16 = ctypes.c_int32, ctypes.c_ushort, ctypes.c_short
DbAd, _DbAd = _record("DbAd", [("address", _i32), ("headWord", _u16)])
DbBAd, _DbBAd = _record("DbBAd", [("address", _i32), ("bitMask", _u16)])
PdbJAd, _PdbJAd = _record("PdbJAd", [("value1", _i32), ("value2", _i32), ("word1", _i16),
                                     ("word2", _i16), ("attr1", _i16), ("attr2", _i16),
                                     ("word3", _i16)])
PdbCAd, _PdbCAd = _record("PdbCAd", [("value1", _i32), ("value2", _i32), ("word1", _i16),
                                     ("attr1", _i16), ("attr2", _i16), ("word2", _i16)])
PdbWD, _PdbWD = _record("PdbWD", [("number", _u16), ("kind", _u16), ("extra", _u16)])
PdbBD, _PdbBD = _record("PdbBD", [("number", _u16), ("kind", _u16)])
PdbAnyWD, _PdbAnyWD = _record("PdbAnyWD", [("value1", _i32), ("word1", _i16), ("word2", _i16),
                                           ("attr1", _i16)])
PdbAnyBD, _PdbAnyBD = _record("PdbAnyBD", [("value1", _i32), ("word1", _i16), ("attr1", _i16),
                                           ("attr2", _i16), ("attr3", _i16)])
PdbAnyPBD, _PdbAnyPBD = _record("PdbAnyPBD", [("value1", _i32), ("word1", _i16),
                                              ("attr1", _i16), ("attr2", _i16), ("attr3", _i16),
                                              ("attr4", _i16)])
PdbBkup, _PdbBkup = _record("PdbBkup", [("value1", _i32), ("value2", _i32), ("attr1", _i16),
                                        ("attr2", _i16), ("attr3", _i16), ("attr4", _i16),
                                        ("attr5", _i16)])
CpuOsType = dataclasses.make_dataclass("CpuOsType", ["cpuCode", "osType"], frozen=True)
CpuOsType.__module__ = __name__

# ---- the library -----------------------------------------------------------

_short, _ptr = ctypes.c_short, ctypes.POINTER

# zel_<member>: argument types after the accessor, the last one the output.
_MEMBERS = {
    "CDbCpuOsType": [_ptr(_short), _ptr(_short), _short, _short],
    "CDbCpuSpec": [_short, _short, _ptr(ZelLong)],
    "CpuSpec": [_short, _short, _ptr(ZelLong)],
    "CDbTb2": [_short, _short, _short, _short, _ptr(_DbAd)],
    "CDbTb3": [_short, _short, _short, _ptr(_DbAd)],
    "CDbTb4": [_short, _short, _short, _short, _ptr(_DbBAd)],
    "CDbTb5": [_short, _short, _short, _ptr(_DbBAd)],
    "CDbTbMem": [_short, _short, _short, _short, _ptr(ZelLong)],
    "CPdbPMem": [_short, _short, _short, ZelLong, _ptr(ZelLong)],
    "CPdbTb0": [_short, _short, _short, _ptr(_PdbJAd)],
    "CPdbTb1": [_short, _short, _short, _ptr(_PdbCAd)],
    "CPdbTb2": [_short, _short, _short, _short, _ptr(_PdbWD)],
    "CPdbTb3": [_short, _short, _short, _ptr(_PdbWD)],
    "CPdbTb4": [_short, _short, _short, _short, _ptr(_PdbBD)],
    "CPdbTb5": [_short, _short, _short, _ptr(_PdbBD)],
    "CPdbTb6": [_short, _short, _short, _ptr(_PdbAnyWD)],
    "CPdbTb7": [_short, _short, _short, _ptr(_PdbAnyBD)],
    "CPdbTb8": [_short, _short, _short, _ptr(_PdbAnyWD)],
    "CPdbTb9": [_short, _short, _short, _ptr(_PdbAnyPBD)],
    "CPdbTb10": [_short, _short, _short, _ptr(_PdbBkup)],
    "GetPdbTb10ItemCount": [_short, _short, _ptr(ZelLong)],
}

_loaded = {}


def _default_names():
    if sys.platform == "win32":
        return ["ZelComFuncDbase.dll"]
    if sys.platform == "darwin":
        return ["libZelComFuncDbase.1.dylib", "libZelComFuncDbase.dylib"]
    return ["libZelComFuncDbase.so.1", "libZelComFuncDbase.so"]


def load_library(library=None):
    """The library's C interface, loaded once per path: `library`, else
    $ZELCOMFUNCDBASE_LIBRARY, else the platform's search."""
    candidates = ([os.fspath(library)] if library is not None
                  else [os.environ[LIBRARY_VARIABLE]] if os.environ.get(LIBRARY_VARIABLE)
                  else [n for n in [ctypes.util.find_library("ZelComFuncDbase")] if n]
                  + _default_names())
    errors = []
    for name in candidates:
        if name in _loaded:
            return _loaded[name]
        try:
            lib = ctypes.CDLL(name)
        except OSError as error:
            errors.append(f"{name}: {error}")
            continue
        _declare(lib)
        _loaded[name] = lib
        return lib
    raise OSError("cannot load the ZelComFuncDbase library (set " + LIBRARY_VARIABLE
                  + " to its path): " + "; ".join(errors))


def _declare(lib):
    db = ctypes.c_void_p
    for name, restype, argtypes in [
            ("zel_open", db, [ctypes.c_void_p]), ("zel_open_utf8", db, [ctypes.c_char_p]),
            ("zel_close", None, [db]), ("zel_copy", db, [db]),
            ("zel_version", ctypes.c_char_p, [])]:
        function = getattr(lib, name)
        function.restype, function.argtypes = restype, argtypes
    for member, argtypes in _MEMBERS.items():
        function = getattr(lib, "zel_" + member)
        function.restype, function.argtypes = _short, [db] + argtypes


def version(library=None):
    """The version of the library, "MAJOR.MINOR.PATCH"."""
    return load_library(library).zel_version().decode("ascii")


def _utf16_units(text):
    """A NUL-terminated array of the UTF-16 code units of a str; a lone
    surrogate (from a file name that was not valid UTF-8) stays as it is."""
    data = text.encode("utf-16-le", "surrogatepass")
    units = [int.from_bytes(data[i:i + 2], "little") for i in range(0, len(data), 2)]
    return (ctypes.c_ushort * (len(units) + 1))(*units)


def _as_record(structure, record):
    return record(*(getattr(structure, name) for name, _ in structure._fields_))


class ZelComFuncDbase:
    """An accessor for one database directory (str, bytes or os.PathLike).

    Every method has the name, arguments and meaning of the C++ member; it
    returns the member's output and raises ZelError for a non-zero result."""

    def __init__(self, directory, library=None):
        self._lib = load_library(library)
        directory = os.fspath(directory)
        if isinstance(directory, bytes):
            handle = self._lib.zel_open_utf8(directory)
        else:
            handle = self._lib.zel_open(ctypes.cast(_utf16_units(directory), ctypes.c_void_p))
        if not handle:
            raise MemoryError("zel_open")
        self._db = handle

    def close(self):
        """Releases the accessor; later calls raise ValueError."""
        if self._db:
            self._lib.zel_close(self._db)
            self._db = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def __del__(self):
        if getattr(self, "_db", None):
            self.close()

    def __copy__(self):
        copy = object.__new__(ZelComFuncDbase)
        copy._lib = self._lib
        copy._db = self._lib.zel_copy(self._handle())
        if not copy._db:
            raise MemoryError("zel_copy")
        return copy

    copy = __copy__

    def _handle(self):
        if not self._db:
            raise ValueError("the accessor is closed")
        return self._db

    def _call(self, member, *args):
        code = getattr(self._lib, "zel_" + member)(self._handle(), *args)
        if code != 0:
            raise ZelError(member, code)

    def _record(self, member, structure, record, *selectors):
        out = structure()
        self._call(member, *selectors, ctypes.byref(out))
        return _as_record(out, record)

    def _value(self, member, *selectors):
        out = ZelLong()
        self._call(member, *selectors, ctypes.byref(out))
        return out.value

    def _cpu_spec(self, member, first, second):
        function = getattr(self._lib, "zel_" + member)
        values = (ZelLong * 6)()
        code = function(self._handle(), first, second, values)
        if code == 0:
            return tuple(values)
        # The values are written as they are read: a second call into other
        # initial values tells which ones the failing call wrote.
        other = (ZelLong * 6)(*([-1] * 6))
        function(self._handle(), first, second, other)
        read = tuple(a if a == b else None for a, b in zip(values, other))
        raise CpuSpecError(member, code, read)

    def CDbCpuOsType(self, modelIndex, osNumber):
        """CpuOsType(cpuCode, osType) of a model index and OS number."""
        cpu, os_type = _short(), _short()
        self._call("CDbCpuOsType", ctypes.byref(cpu), ctypes.byref(os_type), modelIndex,
                   osNumber)
        return CpuOsType(cpu.value, os_type.value)

    def CDbCpuSpec(self, modelIndex, osNumber):
        """The six CPU specification values; every failure is -1."""
        return self._cpu_spec("CDbCpuSpec", modelIndex, osNumber)

    def CpuSpec(self, cpuCode, osType):
        """The six CPU specification values by CPU code and OS type."""
        return self._cpu_spec("CpuSpec", cpuCode, osType)

    def CDbTb2(self, modelIndex, osNumber, item, entry):
        return self._record("CDbTb2", _DbAd, DbAd, modelIndex, osNumber, item, entry)

    def CDbTb3(self, modelIndex, osNumber, item):
        return self._record("CDbTb3", _DbAd, DbAd, modelIndex, osNumber, item)

    def CDbTb4(self, modelIndex, osNumber, item, entry):
        return self._record("CDbTb4", _DbBAd, DbBAd, modelIndex, osNumber, item, entry)

    def CDbTb5(self, modelIndex, osNumber, item):
        return self._record("CDbTb5", _DbBAd, DbBAd, modelIndex, osNumber, item)

    def CDbTbMem(self, modelIndex, osNumber, memoryKind, memoryIndex):
        return self._value("CDbTbMem", modelIndex, osNumber, memoryKind, memoryIndex)

    def CPdbPMem(self, modelIndex, osNumber, selector, value):
        return self._value("CPdbPMem", modelIndex, osNumber, selector, value)

    def CPdbTb0(self, modelIndex, osNumber, index):
        return self._record("CPdbTb0", _PdbJAd, PdbJAd, modelIndex, osNumber, index)

    def CPdbTb1(self, modelIndex, osNumber, index):
        return self._record("CPdbTb1", _PdbCAd, PdbCAd, modelIndex, osNumber, index)

    def CPdbTb2(self, modelIndex, osNumber, index, entry):
        return self._record("CPdbTb2", _PdbWD, PdbWD, modelIndex, osNumber, index, entry)

    def CPdbTb3(self, modelIndex, osNumber, index):
        return self._record("CPdbTb3", _PdbWD, PdbWD, modelIndex, osNumber, index)

    def CPdbTb4(self, modelIndex, osNumber, index, entry):
        return self._record("CPdbTb4", _PdbBD, PdbBD, modelIndex, osNumber, index, entry)

    def CPdbTb5(self, modelIndex, osNumber, index):
        return self._record("CPdbTb5", _PdbBD, PdbBD, modelIndex, osNumber, index)

    def CPdbTb6(self, modelIndex, osNumber, index):
        return self._record("CPdbTb6", _PdbAnyWD, PdbAnyWD, modelIndex, osNumber, index)

    def CPdbTb7(self, modelIndex, osNumber, index):
        return self._record("CPdbTb7", _PdbAnyBD, PdbAnyBD, modelIndex, osNumber, index)

    def CPdbTb8(self, modelIndex, osNumber, index):
        return self._record("CPdbTb8", _PdbAnyWD, PdbAnyWD, modelIndex, osNumber, index)

    def CPdbTb9(self, modelIndex, osNumber, index):
        return self._record("CPdbTb9", _PdbAnyPBD, PdbAnyPBD, modelIndex, osNumber, index)

    def CPdbTb10(self, modelIndex, osNumber, index):
        return self._record("CPdbTb10", _PdbBkup, PdbBkup, modelIndex, osNumber, index)

    def GetPdbTb10ItemCount(self, modelIndex, osNumber):
        return self._value("GetPdbTb10ItemCount", modelIndex, osNumber)

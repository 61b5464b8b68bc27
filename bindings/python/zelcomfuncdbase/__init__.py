"""ZelComFuncDbase from Python: the library's C interface through ctypes.

The accessor's members are methods of the same names, arguments and meaning,
so that the library's documentation applies unchanged::

    from zelcomfuncdbase import ZelComFuncDbase, ZelError

    with ZelComFuncDbase("/srv/zel-db") as db:
        values = db.CDbCpuSpec(1, 1)          # model index 1, OS number 1
        address = db.CDbTb2(1, 1, 0, 1)       # DbAd(address=..., headWord=...)
        try:
            db.CPdbTb0(1, 1, 999)
        except ZelError as error:
            print(error.code, error.meaning)  # -1 refused

Methods return a record (a frozen dataclass with the C record's fields), a
tuple of values or an int; a non-zero result code raises ZelError, which
carries the code and the library's text for it. CpuSpec and CDbCpuSpec raise
CpuSpecError, which carries the values read before the failure (None for
those not read). An integer argument outside the range of its C type raises
OverflowError naming the argument; a path holding NUL raises ValueError.

An accessor may be shared by threads. close() waits for the calls in
progress on other threads; calls after it raise ValueError.

The library is found, in this order, from the `library` argument, from the
environment variable ZELCOMFUNCDBASE_LIBRARY (a path to the file), next to
this module (the copy an installed wheel bundles), or by the platform's
search (ctypes.util.find_library, then the file name alone).
"""

import ctypes
import ctypes.util
import dataclasses
import operator
import os
import pathlib
import sys
import threading
from typing import Dict, List, Optional, Tuple, Union

try:
    from ._version import __version__
except ImportError:  # used from the sources: the version of the library loaded
    def __getattr__(name):
        if name == "__version__":
            return version()
        raise AttributeError(f"module {__name__!r} has no attribute {name!r}")

__all__ = [
    "__version__", "ZelComFuncDbase", "ZelError", "CpuSpecError", "load_library", "result_text",
    "meaning_of", "version", "CpuOsType", "DbAd", "DbBAd", "PdbJAd", "PdbCAd", "PdbWD",
    "PdbBD", "PdbAnyWD", "PdbAnyBD", "PdbAnyPBD", "PdbBkup",
]

LIBRARY_VARIABLE = "ZELCOMFUNCDBASE_LIBRARY"

# The interface's 32-bit signed value: `long` where it is 32 bits wide.
ZelLong = ctypes.c_long if ctypes.sizeof(ctypes.c_long) == 4 else ctypes.c_int32

PathArg = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
CpuSpecValues = Tuple[int, int, int, int, int, int]

# ---- records ---------------------------------------------------------------

_i32, _u16, _i16 = ctypes.c_int32, ctypes.c_ushort, ctypes.c_short


def _c(ctype):
    """A record field and the C type it has in the library's record."""
    return dataclasses.field(metadata={"ctype": ctype})


@dataclasses.dataclass(frozen=True)
class DbAd:
    """Word address entry of an OSDB file (CDbTb2, CDbTb3): `address`, the
    4-byte value of the selected slot; `headWord`, the 2-byte value at the
    head of the row."""
    address: int = _c(_i32)
    headWord: int = _c(_u16)


@dataclasses.dataclass(frozen=True)
class DbBAd:
    """Bit address of an OSDB file (CDbTb4, CDbTb5): a byte `address` and
    the `bitMask` of bits within that byte (only the low 8 bits can be set)."""
    address: int = _c(_i32)
    bitMask: int = _c(_u16)


@dataclasses.dataclass(frozen=True)
class PdbJAd:
    """Record of JQWDB table 0 (CPdbTb0); attr1 and attr2 are signed bytes."""
    value1: int = _c(_i32)
    value2: int = _c(_i32)
    word1: int = _c(_i16)
    word2: int = _c(_i16)
    attr1: int = _c(_i16)
    attr2: int = _c(_i16)
    word3: int = _c(_i16)


@dataclasses.dataclass(frozen=True)
class PdbCAd:
    """Record of JQWDB table 1 (CPdbTb1); attr1 and attr2 are signed bytes."""
    value1: int = _c(_i32)
    value2: int = _c(_i32)
    word1: int = _c(_i16)
    attr1: int = _c(_i16)
    attr2: int = _c(_i16)
    word2: int = _c(_i16)


@dataclasses.dataclass(frozen=True)
class PdbWD:
    """Word device entry of JQWDB tables 2 and 3 (CPdbTb2, CPdbTb3); kind and
    extra are bytes 0..255."""
    number: int = _c(_u16)
    kind: int = _c(_u16)
    extra: int = _c(_u16)


@dataclasses.dataclass(frozen=True)
class PdbBD:
    """Bit device entry of JQWDB tables 4 and 5 (CPdbTb4, CPdbTb5); kind is a
    byte 0..255."""
    number: int = _c(_u16)
    kind: int = _c(_u16)


@dataclasses.dataclass(frozen=True)
class PdbAnyWD:
    """Record of JQWDB tables 6 and 8 (CPdbTb6, CPdbTb8); attr1 is a signed
    byte."""
    value1: int = _c(_i32)
    word1: int = _c(_i16)
    word2: int = _c(_i16)
    attr1: int = _c(_i16)


@dataclasses.dataclass(frozen=True)
class PdbAnyBD:
    """Record of JQWDB table 7 (CPdbTb7); attr1..attr3 are signed bytes."""
    value1: int = _c(_i32)
    word1: int = _c(_i16)
    attr1: int = _c(_i16)
    attr2: int = _c(_i16)
    attr3: int = _c(_i16)


@dataclasses.dataclass(frozen=True)
class PdbAnyPBD:
    """Record of JQWDB table 9 (CPdbTb9); attr1..attr4 are signed bytes."""
    value1: int = _c(_i32)
    word1: int = _c(_i16)
    attr1: int = _c(_i16)
    attr2: int = _c(_i16)
    attr3: int = _c(_i16)
    attr4: int = _c(_i16)


@dataclasses.dataclass(frozen=True)
class PdbBkup:
    """Item of JQWDB table 10, the backup table (CPdbTb10); tail items carry
    -1 in the fields they do not have."""
    value1: int = _c(_i32)
    value2: int = _c(_i32)
    attr1: int = _c(_i16)
    attr2: int = _c(_i16)
    attr3: int = _c(_i16)
    attr4: int = _c(_i16)
    attr5: int = _c(_i16)


@dataclasses.dataclass(frozen=True)
class CpuOsType:
    """The internal CPU code of a model index and the OS type of an OS
    number (CDbCpuOsType)."""
    cpuCode: int
    osType: int


def _structure(record: type) -> type:
    """The ctypes structure of a record, field by field as in C."""
    fields = [(f.name, f.metadata["ctype"]) for f in dataclasses.fields(record)]
    return type(record.__name__ + "Struct", (ctypes.Structure,), {"_fields_": fields})


_STRUCTURES = {record: _structure(record) for record in
               (DbAd, DbBAd, PdbJAd, PdbCAd, PdbWD, PdbBD, PdbAnyWD, PdbAnyBD, PdbAnyPBD,
                PdbBkup)}

# ---- the library -----------------------------------------------------------

_short, _ptr = ctypes.c_short, ctypes.POINTER

# zel_<member>: the names of the arguments after the accessor and the output
# (a record type, ZelLong, or None where the member has its own outputs). All
# are short but CPdbPMem's value.
_MEMBERS = {
    "CDbCpuOsType": (("modelIndex", "osNumber"), None),
    "CDbCpuSpec": (("modelIndex", "osNumber"), None),
    "CpuSpec": (("cpuCode", "osType"), None),
    "CDbTb2": (("modelIndex", "osNumber", "item", "entry"), DbAd),
    "CDbTb3": (("modelIndex", "osNumber", "item"), DbAd),
    "CDbTb4": (("modelIndex", "osNumber", "item", "entry"), DbBAd),
    "CDbTb5": (("modelIndex", "osNumber", "item"), DbBAd),
    "CDbTbMem": (("modelIndex", "osNumber", "memoryKind", "memoryIndex"), ZelLong),
    "CPdbPMem": (("modelIndex", "osNumber", "selector", "value"), ZelLong),
    "CPdbTb0": (("modelIndex", "osNumber", "index"), PdbJAd),
    "CPdbTb1": (("modelIndex", "osNumber", "index"), PdbCAd),
    "CPdbTb2": (("modelIndex", "osNumber", "index", "entry"), PdbWD),
    "CPdbTb3": (("modelIndex", "osNumber", "index"), PdbWD),
    "CPdbTb4": (("modelIndex", "osNumber", "index", "entry"), PdbBD),
    "CPdbTb5": (("modelIndex", "osNumber", "index"), PdbBD),
    "CPdbTb6": (("modelIndex", "osNumber", "index"), PdbAnyWD),
    "CPdbTb7": (("modelIndex", "osNumber", "index"), PdbAnyBD),
    "CPdbTb8": (("modelIndex", "osNumber", "index"), PdbAnyWD),
    "CPdbTb9": (("modelIndex", "osNumber", "index"), PdbAnyPBD),
    "CPdbTb10": (("modelIndex", "osNumber", "index"), PdbBkup),
    "GetPdbTb10ItemCount": (("modelIndex", "osNumber"), ZelLong),
}
_LONG_ARGUMENTS = {"value"}

# The range of each C integer type of an argument.
_RANGES = {_short: (-2 ** 15, 2 ** 15 - 1), ZelLong: (-2 ** 31, 2 ** 31 - 1)}


def _checked(function: str, name: str, value: int, ctype) -> int:
    """The argument as an int, or OverflowError naming it when its C type
    cannot hold it (ctypes would silently keep only the low bits)."""
    value = operator.index(value)
    low, high = _RANGES[ctype]
    if not low <= value <= high:
        raise OverflowError(f"{function}: {name}={value} is out of range for its C type "
                            f"({low}..{high})")
    return value


def _argtypes(member: str) -> list:
    names, output = _MEMBERS[member]
    types = [ZelLong if n in _LONG_ARGUMENTS else _short for n in names]
    if member == "CDbCpuOsType":
        return [_ptr(_short), _ptr(_short)] + types
    if output is None:  # the six CPU specification values
        return types + [_ptr(ZelLong)]
    return types + [_ptr(output if output is ZelLong else _STRUCTURES[output])]


_loaded: Dict[str, ctypes.CDLL] = {}
_loading = threading.Lock()


def _library_names() -> List[str]:
    if sys.platform == "win32":
        return ["ZelComFuncDbase.dll"]
    if sys.platform == "darwin":
        return ["libZelComFuncDbase.1.dylib", "libZelComFuncDbase.dylib"]
    return ["libZelComFuncDbase.so.1", "libZelComFuncDbase.so"]


def _candidates(library) -> List[str]:
    if library is not None:
        return [os.fspath(library)]
    if os.environ.get(LIBRARY_VARIABLE):
        return [os.environ[LIBRARY_VARIABLE]]
    here = pathlib.Path(__file__).resolve().parent
    bundled = [str(here / name) for name in _library_names() if (here / name).exists()]
    found = ctypes.util.find_library("ZelComFuncDbase")
    return bundled + ([found] if found else []) + _library_names()


def load_library(library: Optional[PathArg] = None) -> ctypes.CDLL:
    """The library's C interface, loaded once per path: `library`, else
    $ZELCOMFUNCDBASE_LIBRARY, else the copy bundled with this package, else
    the platform's search. OSError naming the variable when none loads."""
    errors = []
    with _loading:
        for name in _candidates(library):
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


def _declare(lib: ctypes.CDLL) -> None:
    db, text, values = ctypes.c_void_p, ctypes.c_char_p, _ptr(ZelLong)
    for name, restype, argtypes in [
            ("zel_open", db, [ctypes.c_void_p]), ("zel_open_utf8", db, [ctypes.c_char_p]),
            ("zel_close", None, [db]), ("zel_copy", db, [db]),
            ("zel_version", text, []), ("zel_result_text", text, [_short]),
            ("zel_item_count", _short, [_short, _short]),
            ("zel_entry_count", _short, [_short, _short, _short, values]),
            ("zel_device_entry_count", _short, [_short, values]),
            ("zel_memory_kind_count", _short, []),
            ("zel_memory_last_index", _short, [_short]),
            ("zel_big_endian", _short, [_short]),
            ("zel_osdb_file_name", _short, [_short, _short, ctypes.c_char_p, ctypes.c_int]),
            ("zel_jqwdb_file_name", _short, [_short, _short, ctypes.c_char_p, ctypes.c_int])]:
        function = getattr(lib, name)
        function.restype, function.argtypes = restype, argtypes
    for member in _MEMBERS:
        function = getattr(lib, "zel_" + member)
        function.restype, function.argtypes = _short, [db] + _argtypes(member)


def version(library: Optional[PathArg] = None) -> str:
    """The version of the library, "MAJOR.MINOR.PATCH"."""
    return load_library(library).zel_version().decode("ascii")


# ---- result codes ----------------------------------------------------------

def result_text(code: int, library: Optional[PathArg] = None) -> str:
    """The library's text of a result code ("ok", "refused", "file not
    found", ...; "unknown result" for any other value)."""
    code = _checked("result_text", "code", code, _short)
    return load_library(library).zel_result_text(code).decode("ascii")


meaning_of = result_text


class ZelError(Exception):
    """A call of the library gave a non-zero result code: `member`, `code`
    and `meaning`, the library's text of the code."""

    def __init__(self, member: str, code: int, meaning: Optional[str] = None):
        self.member = member
        self.code = code
        self.meaning = result_text(code) if meaning is None else meaning
        super().__init__(f"{member}: result {code} ({self.meaning})")


class CpuSpecError(ZelError):
    """CpuSpec or CDbCpuSpec failed; `values` holds the six CPU specification
    values as far as they were read (None for the values not read)."""

    def __init__(self, member: str, code: int, values: Tuple[Optional[int], ...],
                 meaning: Optional[str] = None):
        super().__init__(member, code, meaning)
        self.values = values


# ---- the accessor ----------------------------------------------------------

def _no_nul(path, nul):
    if nul in path:
        raise ValueError("embedded null character in the database directory")
    return path


def _utf16_units(text: str):
    """A NUL-terminated array of the UTF-16 code units of a str; a lone
    surrogate (from a file name that was not valid UTF-8) stays as it is."""
    data = text.encode("utf-16-le", "surrogatepass")
    units = [int.from_bytes(data[i:i + 2], "little") for i in range(0, len(data), 2)]
    return (ctypes.c_ushort * (len(units) + 1))(*units)


class _Handle:
    """The C accessor and the calls in progress on it: close() takes the
    pointer away from new calls and releases it once the others are done."""

    def __init__(self, lib: ctypes.CDLL, pointer: int):
        self._lib = lib
        self._pointer: Optional[int] = pointer
        self._calls = 0
        self._idle = threading.Condition(threading.Lock())

    def enter(self) -> int:
        with self._idle:
            if self._pointer is None:
                raise ValueError("the accessor is closed")
            self._calls += 1
            return self._pointer

    def leave(self) -> None:
        with self._idle:
            self._calls -= 1
            if self._calls == 0:
                self._idle.notify_all()

    def close(self) -> None:
        with self._idle:
            pointer, self._pointer = self._pointer, None
            while self._calls:
                self._idle.wait()
        if pointer:
            self._lib.zel_close(pointer)


class ZelComFuncDbase:
    """An accessor for one database directory (str, bytes or os.PathLike).

    Every method has the name, arguments and meaning of the C++ member; it
    returns the member's output and raises ZelError for a non-zero result
    code: -1 refused (a selector out of range, an entry not present, or no
    database file for the model and OS), -2 absent (CDbTb2 to CDbTb5: the item
    is marked absent for the CPU), 100 + cause a file error (102 file not
    found, 114 end of file, ...). Model indexes run 0..47, OS numbers 1..7."""

    def __init__(self, directory: PathArg, library: Optional[PathArg] = None):
        self._handle = None
        lib = load_library(library)
        directory = os.fspath(directory)
        if isinstance(directory, bytes):
            pointer = lib.zel_open_utf8(_no_nul(directory, b"\0"))
        else:
            units = _utf16_units(_no_nul(directory, "\0"))
            pointer = lib.zel_open(ctypes.cast(units, ctypes.c_void_p))
        if not pointer:
            raise MemoryError("zel_open")
        self._lib = lib
        self._handle = _Handle(lib, pointer)

    def close(self) -> None:
        """Releases the accessor once the calls in progress on other threads
        have returned; later calls raise ValueError. Closing twice is allowed."""
        if self._handle is not None:
            self._handle.close()

    def __enter__(self) -> "ZelComFuncDbase":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    def __del__(self):
        self.close()

    def __copy__(self) -> "ZelComFuncDbase":
        """A second accessor on the same directory, closed independently."""
        pointer = self._handle.enter()
        try:
            duplicate = self._lib.zel_copy(pointer)
        finally:
            self._handle.leave()
        if not duplicate:
            raise MemoryError("zel_copy")
        copy = object.__new__(ZelComFuncDbase)
        copy._lib = self._lib
        copy._handle = _Handle(self._lib, duplicate)
        return copy

    copy = __copy__

    # ---- calling -----------------------------------------------------------

    def _raw(self, member: str, *args, outputs=()) -> int:
        """The result code of zel_<member> with the arguments range-checked
        and the outputs passed after them."""
        names = _MEMBERS[member][0]
        checked = [_checked(member, name, value, ZelLong if name in _LONG_ARGUMENTS else _short)
                   for name, value in zip(names, args)]
        if member == "CDbCpuOsType":
            checked, outputs = list(outputs) + checked, ()
        pointer = self._handle.enter()
        try:
            return getattr(self._lib, "zel_" + member)(pointer, *checked, *outputs)
        finally:
            self._handle.leave()

    def _text(self, code: int) -> str:
        return self._lib.zel_result_text(code).decode("ascii")

    def _check(self, member: str, code: int) -> None:
        if code != 0:
            raise ZelError(member, code, self._text(code))

    def _answer(self, member: str, *args):
        """(result code, output) of a member with one output."""
        output = _MEMBERS[member][1]
        out = ZelLong() if output is ZelLong else _STRUCTURES[output]()
        code = self._raw(member, *args, outputs=(ctypes.byref(out),))
        if output is ZelLong:
            return code, out.value
        return code, output(*(getattr(out, name) for name, _ in out._fields_))

    def _call(self, member: str, *args):
        code, answer = self._answer(member, *args)
        self._check(member, code)
        return answer

    def _cpu_spec(self, member: str, first: int, second: int) -> CpuSpecValues:
        code, values = self._spec_values(member, first, second)
        if code == 0:
            return values
        # The values are written as they are read: a second call into other
        # initial values tells which ones the failing call wrote.
        _, other = self._spec_values(member, first, second, initial=-1)
        read = tuple(a if a == b else None for a, b in zip(values, other))
        raise CpuSpecError(member, code, read, self._text(code))

    def _spec_values(self, member, first, second, initial=0):
        values = (ZelLong * 6)(*([initial] * 6))
        code = self._raw(member, first, second, outputs=(values,))
        return code, tuple(values)

    # ---- the members -------------------------------------------------------

    def CDbCpuOsType(self, modelIndex: int, osNumber: int) -> CpuOsType:
        """The internal CPU code of a model index (0..47) and the OS type of an
        OS number (1..7, OS type = OS number - 1), without file access.
        -1 for either out of range."""
        cpu, os_type = _short(), _short()
        code = self._raw("CDbCpuOsType", modelIndex, osNumber,
                         outputs=(ctypes.byref(cpu), ctypes.byref(os_type)))
        self._check("CDbCpuOsType", code)
        return CpuOsType(cpu.value, os_type.value)

    def CDbCpuSpec(self, modelIndex: int, osNumber: int) -> CpuSpecValues:
        """The six CPU specification values of the model's OSDB file (value 0
        bounds the entry numbers of CDbTb2, CDbTb4, CPdbTb2 and CPdbTb4).
        Every failure, file errors included, is -1 (CpuSpecError)."""
        return self._cpu_spec("CDbCpuSpec", modelIndex, osNumber)

    def CpuSpec(self, cpuCode: int, osType: int) -> CpuSpecValues:
        """The six CPU specification values by internal CPU code and OS type,
        with no check of them beyond the file name: -1 no file name, 100 +
        cause a file error (CpuSpecError with the values read before it)."""
        return self._cpu_spec("CpuSpec", cpuCode, osType)

    def CDbTb2(self, modelIndex: int, osNumber: int, item: int, entry: int) -> DbAd:
        """One entry (1..CPU specification value 0, or value 1 for table 6
        sections 1 and 7) of an item's row in the word address tables.
        -1 item or entry out of range or no file name, -2 item absent for the
        CPU, 100 + cause file error."""
        return self._call("CDbTb2", modelIndex, osNumber, item, entry)

    def CDbTb3(self, modelIndex: int, osNumber: int, item: int) -> DbAd:
        """The first entry of an item's row in the word address tables.
        -1 item out of range or no file name, -2 item absent, 100 + cause."""
        return self._call("CDbTb3", modelIndex, osNumber, item)

    def CDbTb4(self, modelIndex: int, osNumber: int, item: int, entry: int) -> DbBAd:
        """One entry of an item's row in the bit address tables: a byte
        address and a bit mask. Results as CDbTb2."""
        return self._call("CDbTb4", modelIndex, osNumber, item, entry)

    def CDbTb5(self, modelIndex: int, osNumber: int, item: int) -> DbBAd:
        """The first entry of an item's row in the bit address tables.
        Results as CDbTb3."""
        return self._call("CDbTb5", modelIndex, osNumber, item)

    def CDbTbMem(self, modelIndex: int, osNumber: int, memoryKind: int,
                 memoryIndex: int) -> int:
        """One value of the memory table: memoryKind 0, 1 or 3..9, memoryIndex
        0..the kind's highest index. -1 kind or index out of range or no file
        name, 100 + cause file error."""
        return self._call("CDbTbMem", modelIndex, osNumber, memoryKind, memoryIndex)

    def CPdbPMem(self, modelIndex: int, osNumber: int, selector: int, value: int) -> int:
        """Parameter memory: `value` (32-bit signed) back unchanged; no file is
        read. -1 only for a model index or OS number out of range."""
        return self._call("CPdbPMem", modelIndex, osNumber, selector, value)

    def CPdbTb0(self, modelIndex: int, osNumber: int, index: int) -> PdbJAd:
        """Record `index` of JQWDB table 0. -1 no file name or index out of
        range (checked after the table header: a missing file gives 102),
        100 + cause file error."""
        return self._call("CPdbTb0", modelIndex, osNumber, index)

    def CPdbTb1(self, modelIndex: int, osNumber: int, index: int) -> PdbCAd:
        """Record `index` of JQWDB table 1. Results as CPdbTb0."""
        return self._call("CPdbTb1", modelIndex, osNumber, index)

    def CPdbTb2(self, modelIndex: int, osNumber: int, index: int, entry: int) -> PdbWD:
        """Word device entry `entry` (1..CPU specification value 0, at least
        1..16 for OS numbers 5 and 6) of record `index` of JQWDB table 2.
        -1 no file name, entry or index out of range; CpuSpec's failure
        unchanged; 100 + cause file error."""
        return self._call("CPdbTb2", modelIndex, osNumber, index, entry)

    def CPdbTb3(self, modelIndex: int, osNumber: int, index: int) -> PdbWD:
        """The word device entry at the start of record `index` of JQWDB
        table 3. Results as CPdbTb0."""
        return self._call("CPdbTb3", modelIndex, osNumber, index)

    def CPdbTb4(self, modelIndex: int, osNumber: int, index: int, entry: int) -> PdbBD:
        """Bit device entry `entry` of record `index` of JQWDB table 4.
        Results as CPdbTb2."""
        return self._call("CPdbTb4", modelIndex, osNumber, index, entry)

    def CPdbTb5(self, modelIndex: int, osNumber: int, index: int) -> PdbBD:
        """The bit device entry at the start of record `index` of JQWDB
        table 5. Results as CPdbTb0."""
        return self._call("CPdbTb5", modelIndex, osNumber, index)

    def CPdbTb6(self, modelIndex: int, osNumber: int, index: int) -> PdbAnyWD:
        """Record `index` of JQWDB table 6. Results as CPdbTb0."""
        return self._call("CPdbTb6", modelIndex, osNumber, index)

    def CPdbTb7(self, modelIndex: int, osNumber: int, index: int) -> PdbAnyBD:
        """Record `index` of JQWDB table 7. Results as CPdbTb0."""
        return self._call("CPdbTb7", modelIndex, osNumber, index)

    def CPdbTb8(self, modelIndex: int, osNumber: int, index: int) -> PdbAnyWD:
        """Record `index` of JQWDB table 8. Results as CPdbTb0."""
        return self._call("CPdbTb8", modelIndex, osNumber, index)

    def CPdbTb9(self, modelIndex: int, osNumber: int, index: int) -> PdbAnyPBD:
        """Record `index` of JQWDB table 9. Results as CPdbTb0."""
        return self._call("CPdbTb9", modelIndex, osNumber, index)

    def CPdbTb10(self, modelIndex: int, osNumber: int, index: int) -> PdbBkup:
        """Item `index` (0..item count - 1) of the backup table, JQWDB table
        10. Results as CPdbTb0."""
        return self._call("CPdbTb10", modelIndex, osNumber, index)

    def GetPdbTb10ItemCount(self, modelIndex: int, osNumber: int) -> int:
        """The number of items of the backup table, as stored. -1 model index,
        OS number or file name, 100 + cause file error."""
        return self._call("GetPdbTb10ItemCount", modelIndex, osNumber)

    # ---- the whole of a pair -----------------------------------------------

    def dump(self, modelIndex: int, osNumber: int) -> dict:
        """Everything the library answers for a model and OS number, in the
        structure of one pair of `zelcomdb dump --json`: the pair, then "osdb"
        (CPU specification values, the items of CDbTb2 to CDbTb5, the memory
        kinds) and "jqwdb" (the records of tables 0 to 9, the backup table).
        A result code stands as {"result": code} where a value was asked."""
        pair = self.CDbCpuOsType(modelIndex, osNumber)
        return _Dump(self, modelIndex, osNumber, pair).document()


def _file_name(lib, function, modelIndex: int, osNumber: int) -> str:
    name = ctypes.create_string_buffer(32)
    code = getattr(lib, function)(modelIndex, osNumber, name, len(name))
    return name.value.decode("ascii") if code == 0 else ""


def _result(code: int) -> dict:
    return {"result": code}


def _fields(record) -> dict:
    return dataclasses.asdict(record)


# Record indexes are short: the walk of a table ends at the last of them.
_HIGHEST_INDEX = 2 ** 15 - 1
_FILE_NOT_FOUND = 102


class _Dump:
    """The walk of `zelcomdb dump`, with the bounds the library gives."""

    def __init__(self, db: ZelComFuncDbase, model: int, os_number: int, pair: CpuOsType):
        self.db, self.lib, self.model, self.os, self.pair = db, db._lib, model, os_number, pair
        self.spec_result, self.spec = self.db._spec_values("CpuSpec", pair.cpuCode, pair.osType)
        self.spec_values = (ZelLong * 6)(*self.spec)

    def document(self) -> dict:
        lib = self.lib
        return {
            "model": self.model, "osNumber": self.os, "cpuCode": self.pair.cpuCode,
            "osType": self.pair.osType,
            "byteOrder": ("most significant byte first" if lib.zel_big_endian(self.model) == 1
                          else "least significant byte first"),
            "osdbFile": _file_name(lib, "zel_osdb_file_name", self.model, self.os),
            "jqwdbFile": _file_name(lib, "zel_jqwdb_file_name", self.model, self.os),
            "osdb": self.osdb(), "jqwdb": self.jqwdb(),
        }

    def ask(self, member, *selectors):
        return self.db._answer(member, self.model, self.os, *selectors)

    def osdb(self):
        if self.spec_result == _FILE_NOT_FOUND:
            return _result(_FILE_NOT_FOUND)
        return {
            "cpuSpec": list(self.spec) if self.spec_result == 0 else _result(self.spec_result),
            "dbTb2": self.entry_items(2, "CDbTb2", "addresses", self.add_address),
            "dbTb3": self.single_items(3, "CDbTb3"),
            "dbTb4": self.entry_items(4, "CDbTb4", "bits",
                                      lambda item, bits, bit: bits.append(_fields(bit))),
            "dbTb5": self.single_items(5, "CDbTb5"),
            "memory": self.memory(),
        }

    @staticmethod
    def add_address(item, addresses, answer):
        item.setdefault("headWord", answer.headWord)  # from the first entry read
        addresses.append(answer.address)

    def entry_items(self, table, member, list_key, add):
        items = []
        for number in range(self.lib.zel_item_count(table, self.model)):
            item = {"item": number}
            entries = self.lib.zel_entry_count(table, self.model, number, self.spec_values)
            if entries < 0 or self.spec_result != 0:
                item["result"] = self.ask(member, number, 1)[0]
                items.append(item)
                continue
            answers = []
            for entry in range(1, entries + 1):
                code, answer = self.ask(member, number, entry)
                if code:
                    answers.append(_result(code))
                else:
                    add(item, answers, answer)
            item[list_key] = answers
            items.append(item)
        return items

    def single_items(self, table, member):
        items = []
        for number in range(self.lib.zel_item_count(table, self.model)):
            code, answer = self.ask(member, number)
            items.append({"item": number, **(_fields(answer) if code == 0 else _result(code))})
        return items

    def memory(self):
        kinds = []
        for kind in range(self.lib.zel_memory_kind_count()):
            last = self.lib.zel_memory_last_index(kind)
            if last < 0:
                kinds.append({"kind": kind, "result": self.ask("CDbTbMem", kind, 0)[0]})
                continue
            values = []
            for index in range(last + 1):
                code, value = self.ask("CDbTbMem", kind, index)
                values.append(_result(code) if code else value)
            kinds.append({"kind": kind, "values": values})
        return kinds

    def jqwdb(self):
        if self.ask("GetPdbTb10ItemCount")[0] == _FILE_NOT_FOUND:
            return _result(_FILE_NOT_FOUND)
        tables = {}
        for table in range(10):
            member = f"CPdbTb{table}"
            tables[f"pdbTb{table}"] = (self.entry_records(member) if table in (2, 4)
                                       else self.records(member))
        tables["pdbTb10"] = self.backup_table()
        return tables

    def records(self, member):
        records = []
        for index in range(_HIGHEST_INDEX + 1):
            code, record = self.ask(member, index)
            if code == -1:
                break
            if index == 0 and code != 0:  # the table as a whole did not answer
                return _result(code)
            records.append(_fields(record) if code == 0 else _result(code))
        return records

    def entry_records(self, member):
        if self.spec_result != 0:  # CPdbTb2 and CPdbTb4 pass CpuSpec's failure on
            return _result(self.ask(member, 0, 1)[0])
        bound = self.lib.zel_device_entry_count(self.os, self.spec_values)
        records = []
        if bound < 1:
            return records
        for index in range(_HIGHEST_INDEX + 1):
            code, record = self.ask(member, index, 1)
            if code == -1:
                break
            if index == 0 and code != 0:
                return _result(code)
            entries = [_fields(record) if code == 0 else _result(code)]
            for entry in range(2, bound + 1):
                code, record = self.ask(member, index, entry)
                entries.append(_fields(record) if code == 0 else _result(code))
            records.append({"entries": entries})
        return records

    def backup_table(self):
        code, count = self.ask("GetPdbTb10ItemCount")
        if code:
            return _result(code)
        items = []
        for index in range(min(count - 1, _HIGHEST_INDEX) + 1):
            code, item = self.ask("CPdbTb10", index)
            items.append(_fields(item) if code == 0 else _result(code))
        return {"itemCount": count, "items": items}

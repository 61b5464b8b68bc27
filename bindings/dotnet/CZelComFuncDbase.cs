// The accessor for .NET hosts: the members of the C++ class CZelComFuncDbase
// with the same names and selectors, each returning its output and throwing
// ZelException for a result code other than 0.
//
//     using (var db = new CZelComFuncDbase(@"C:\zel-db"))
//     {
//         int[] values = db.CDbCpuSpec(1, 1);   // model index 1, OS number 1
//         DbAd address = db.CDbTb2(1, 1, 0, 1);
//     }
//
// Selectors are short and values int, as in the C interface, so a value that
// does not fit is refused by the compiler instead of being cut to 16 bits.
using System;
using System.Runtime.InteropServices;

namespace ZelComFuncDbase
{
    /// <summary>A call of the library gave a result code other than 0. The
    /// message names the member, the code and its text, e.g.
    /// "CDbTb2: result -1 (refused)".</summary>
    public class ZelException : Exception
    {
        public ZelException(string member, short code)
            : base(member + ": result " + code + " (" + CZelComFuncDbase.ResultText(code) + ")")
        {
            Member = member;
            Code = (ZelResult)code;
        }

        /// <summary>The member that failed, e.g. "CDbTb2".</summary>
        public string Member { get; private set; }

        /// <summary>ZEL_REFUSED (-1) for a selector out of range or an entry not
        /// present, ZEL_ABSENT (-2) for an item marked absent, ZEL_FILE_ERROR
        /// (100) + cause code for a failure of the file layer.</summary>
        public ZelResult Code { get; private set; }
    }

    /// <summary>An accessor for one database directory. Dispose releases it;
    /// calls after Dispose throw ObjectDisposedException. One accessor may be
    /// used by several threads at once, Dispose included: calls in progress
    /// finish before the accessor is released.</summary>
    public sealed class CZelComFuncDbase : IDisposable
    {
        readonly ZelDbHandle db;
        volatile bool disposed;

        delegate short Reader<T>(ZelDbHandle db, out T output);

        /// <summary>An accessor for the directory; no file is touched here, a
        /// missing directory shows as result 102 on the first call that reads.</summary>
        public CZelComFuncDbase(string directory)
        {
            if (directory == null)
                throw new ArgumentNullException("directory");
            // The C interface takes a NUL-terminated path: a NUL inside would
            // silently name another directory.
            if (directory.IndexOf('\0') >= 0)
                throw new ArgumentException("the directory holds a NUL character", "directory");
            db = Opened(NativeMethods.zel_open(directory), "zel_open");
        }

        CZelComFuncDbase(ZelDbHandle handle)
        {
            db = handle;
        }

        static ZelDbHandle Opened(ZelDbHandle handle, string function)
        {
            if (handle.IsInvalid)
                throw new OutOfMemoryException(function);
            return handle;
        }

        /// <summary>The library's version, "MAJOR.MINOR.PATCH".</summary>
        public static string Version
        {
            get { return Marshal.PtrToStringAnsi(NativeMethods.zel_version()); }
        }

        /// <summary>The library's text of a result code ("refused", "file not
        /// found", ...); "unknown result" for a value it does not know.</summary>
        public static string ResultText(short code)
        {
            return Marshal.PtrToStringAnsi(NativeMethods.zel_result_text(code));
        }

        /// <summary>A second accessor on the same directory, with a life of its own.</summary>
        public CZelComFuncDbase Copy()
        {
            return new CZelComFuncDbase(Opened(NativeMethods.zel_copy(Handle), "zel_copy"));
        }

        public void Dispose()
        {
            disposed = true;
            db.Dispose();
        }

        // The handle alone would not refuse calls after Dispose: each call
        // holds a reference on it, and the accessor is released only when no
        // call holds one, so calls following each other on several threads
        // could keep it alive for ever. A call that passed this check before
        // Dispose either still gets its reference and finishes, or is refused
        // by the handle, also with ObjectDisposedException.
        ZelDbHandle Handle
        {
            get
            {
                if (disposed)
                    throw new ObjectDisposedException(GetType().Name);
                return db;
            }
        }

        static void Check(string member, short code)
        {
            if (code != 0)
                throw new ZelException(member, code);
        }

        T Read<T>(string member, Reader<T> reader)
        {
            T output;
            Check(member, reader(Handle, out output));
            return output;
        }

        int[] ReadCpuSpec(string member, Func<ZelDbHandle, int[], short> reader)
        {
            var values = new int[6];
            Check(member, reader(Handle, values));
            return values;
        }

        /// <summary>The CPU code and OS type of a model index (0..47) and OS number (1..7); no file.</summary>
        public CpuOsType CDbCpuOsType(short modelIndex, short osNumber)
        {
            var answer = new CpuOsType();
            Check("CDbCpuOsType", NativeMethods.zel_CDbCpuOsType(Handle, out answer.cpuCode,
                                                                 out answer.osType, modelIndex, osNumber));
            return answer;
        }

        /// <summary>The six CPU specification values; every failure is -1. (A host
        /// that needs the values read before a failure calls NativeMethods.zel_CpuSpec
        /// itself: the library writes each value as soon as it has read it.)</summary>
        public int[] CDbCpuSpec(short modelIndex, short osNumber)
        {
            return ReadCpuSpec("CDbCpuSpec",
                               (h, values) => NativeMethods.zel_CDbCpuSpec(h, modelIndex, osNumber, values));
        }

        /// <summary>The six CPU specification values by CPU code and OS type.</summary>
        public int[] CpuSpec(short cpuCode, short osType)
        {
            return ReadCpuSpec("CpuSpec", (h, values) => NativeMethods.zel_CpuSpec(h, cpuCode, osType, values));
        }

        public DbAd CDbTb2(short modelIndex, short osNumber, short item, short entry)
        {
            return Read("CDbTb2", (ZelDbHandle h, out DbAd o) =>
                        NativeMethods.zel_CDbTb2(h, modelIndex, osNumber, item, entry, out o));
        }

        public DbAd CDbTb3(short modelIndex, short osNumber, short item)
        {
            return Read("CDbTb3", (ZelDbHandle h, out DbAd o) =>
                        NativeMethods.zel_CDbTb3(h, modelIndex, osNumber, item, out o));
        }

        public DbBAd CDbTb4(short modelIndex, short osNumber, short item, short entry)
        {
            return Read("CDbTb4", (ZelDbHandle h, out DbBAd o) =>
                        NativeMethods.zel_CDbTb4(h, modelIndex, osNumber, item, entry, out o));
        }

        public DbBAd CDbTb5(short modelIndex, short osNumber, short item)
        {
            return Read("CDbTb5", (ZelDbHandle h, out DbBAd o) =>
                        NativeMethods.zel_CDbTb5(h, modelIndex, osNumber, item, out o));
        }

        public int CDbTbMem(short modelIndex, short osNumber, short memoryKind, short memoryIndex)
        {
            return Read("CDbTbMem", (ZelDbHandle h, out int o) =>
                        NativeMethods.zel_CDbTbMem(h, modelIndex, osNumber, memoryKind, memoryIndex, out o));
        }

        public int CPdbPMem(short modelIndex, short osNumber, short selector, int value)
        {
            return Read("CPdbPMem", (ZelDbHandle h, out int o) =>
                        NativeMethods.zel_CPdbPMem(h, modelIndex, osNumber, selector, value, out o));
        }

        public PdbJAd CPdbTb0(short modelIndex, short osNumber, short index)
        {
            return Read("CPdbTb0", (ZelDbHandle h, out PdbJAd o) =>
                        NativeMethods.zel_CPdbTb0(h, modelIndex, osNumber, index, out o));
        }

        public PdbCAd CPdbTb1(short modelIndex, short osNumber, short index)
        {
            return Read("CPdbTb1", (ZelDbHandle h, out PdbCAd o) =>
                        NativeMethods.zel_CPdbTb1(h, modelIndex, osNumber, index, out o));
        }

        public PdbWD CPdbTb2(short modelIndex, short osNumber, short index, short entry)
        {
            return Read("CPdbTb2", (ZelDbHandle h, out PdbWD o) =>
                        NativeMethods.zel_CPdbTb2(h, modelIndex, osNumber, index, entry, out o));
        }

        public PdbWD CPdbTb3(short modelIndex, short osNumber, short index)
        {
            return Read("CPdbTb3", (ZelDbHandle h, out PdbWD o) =>
                        NativeMethods.zel_CPdbTb3(h, modelIndex, osNumber, index, out o));
        }

        public PdbBD CPdbTb4(short modelIndex, short osNumber, short index, short entry)
        {
            return Read("CPdbTb4", (ZelDbHandle h, out PdbBD o) =>
                        NativeMethods.zel_CPdbTb4(h, modelIndex, osNumber, index, entry, out o));
        }

        public PdbBD CPdbTb5(short modelIndex, short osNumber, short index)
        {
            return Read("CPdbTb5", (ZelDbHandle h, out PdbBD o) =>
                        NativeMethods.zel_CPdbTb5(h, modelIndex, osNumber, index, out o));
        }

        public PdbAnyWD CPdbTb6(short modelIndex, short osNumber, short index)
        {
            return Read("CPdbTb6", (ZelDbHandle h, out PdbAnyWD o) =>
                        NativeMethods.zel_CPdbTb6(h, modelIndex, osNumber, index, out o));
        }

        public PdbAnyBD CPdbTb7(short modelIndex, short osNumber, short index)
        {
            return Read("CPdbTb7", (ZelDbHandle h, out PdbAnyBD o) =>
                        NativeMethods.zel_CPdbTb7(h, modelIndex, osNumber, index, out o));
        }

        public PdbAnyWD CPdbTb8(short modelIndex, short osNumber, short index)
        {
            return Read("CPdbTb8", (ZelDbHandle h, out PdbAnyWD o) =>
                        NativeMethods.zel_CPdbTb8(h, modelIndex, osNumber, index, out o));
        }

        public PdbAnyPBD CPdbTb9(short modelIndex, short osNumber, short index)
        {
            return Read("CPdbTb9", (ZelDbHandle h, out PdbAnyPBD o) =>
                        NativeMethods.zel_CPdbTb9(h, modelIndex, osNumber, index, out o));
        }

        public PdbBkup CPdbTb10(short modelIndex, short osNumber, short index)
        {
            return Read("CPdbTb10", (ZelDbHandle h, out PdbBkup o) =>
                        NativeMethods.zel_CPdbTb10(h, modelIndex, osNumber, index, out o));
        }

        public int GetPdbTb10ItemCount(short modelIndex, short osNumber)
        {
            return Read("GetPdbTb10ItemCount", (ZelDbHandle h, out int o) =>
                        NativeMethods.zel_GetPdbTb10ItemCount(h, modelIndex, osNumber, out o));
        }
    }
}

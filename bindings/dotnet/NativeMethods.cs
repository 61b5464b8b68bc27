// The C interface of ZelComFuncDbase (ZelComFuncDbaseC.h) as P/Invoke
// declarations: every function is cdecl, every selector a 16-bit short, every
// ZelLong a 32-bit int, and every output record is declared in Records.cs with
// the layout of ZelComFuncDbaseRecords.h.
//
// The accessor travels as a SafeHandle, so that the runtime holds a reference
// on it for the length of each call: a Dispose on another thread releases the
// accessor only when the calls in progress have returned, and a call that
// starts after it throws ObjectDisposedException instead of using freed memory.
//
// The library is named "ZelComFuncDbase": ZelComFuncDbase.dll on Windows;
// under Mono on Linux the dllmap of ZelComFuncDbase.Net.dll.config maps it to
// the shared library's soname, libZelComFuncDbase.so.1, which the dynamic
// loader looks up as for any program (installed library, LD_LIBRARY_PATH).
using System;
using System.Runtime.InteropServices;

namespace ZelComFuncDbase
{
    /// <summary>An accessor of the C interface (ZelDb*), released by zel_close.</summary>
    public sealed class ZelDbHandle : SafeHandle
    {
        ZelDbHandle() : base(IntPtr.Zero, true) { }

        public override bool IsInvalid { get { return handle == IntPtr.Zero; } }

        protected override bool ReleaseHandle()
        {
            NativeMethods.zel_close(handle);
            return true;
        }
    }

    /// <summary>The functions of the C interface, one to one.</summary>
    public static class NativeMethods
    {
        public const string Library = "ZelComFuncDbase";
        const CallingConvention Cdecl = CallingConvention.Cdecl;

        // LPWStr is UTF-16 on every platform and runtime (unlike wchar_t, which
        // is 32 bits wide on Linux), so the directory reaches zel_open as the
        // UTF-16 units the C interface takes. The string must not hold NUL.
        [DllImport(Library, CallingConvention = Cdecl, CharSet = CharSet.Unicode)]
        public static extern ZelDbHandle zel_open([MarshalAs(UnmanagedType.LPWStr)] string utf16Directory);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern void zel_close(IntPtr db);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern ZelDbHandle zel_copy(ZelDbHandle db);

        // Static strings of the library: returned as pointers, never freed.
        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern IntPtr zel_version();

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern IntPtr zel_result_text(short code);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CDbCpuOsType(ZelDbHandle db, out short cpuCode, out short osType,
                                                    short modelIndex, short osNumber);

        // [In, Out]: the library writes each value as soon as it has read it, so
        // a failing call shows which of the caller's values it overwrote.
        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CDbCpuSpec(ZelDbHandle db, short modelIndex, short osNumber,
                                                  [In, Out] int[] values);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CpuSpec(ZelDbHandle db, short cpuCode, short osType,
                                               [In, Out] int[] values);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CDbTb2(ZelDbHandle db, short modelIndex, short osNumber, short item,
                                              short entry, out DbAd output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CDbTb3(ZelDbHandle db, short modelIndex, short osNumber, short item,
                                              out DbAd output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CDbTb4(ZelDbHandle db, short modelIndex, short osNumber, short item,
                                              short entry, out DbBAd output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CDbTb5(ZelDbHandle db, short modelIndex, short osNumber, short item,
                                              out DbBAd output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CDbTbMem(ZelDbHandle db, short modelIndex, short osNumber,
                                                short memoryKind, short memoryIndex, out int output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbPMem(ZelDbHandle db, short modelIndex, short osNumber,
                                                short selector, int value, out int output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb0(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               out PdbJAd output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb1(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               out PdbCAd output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb2(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               short entry, out PdbWD output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb3(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               out PdbWD output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb4(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               short entry, out PdbBD output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb5(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               out PdbBD output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb6(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               out PdbAnyWD output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb7(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               out PdbAnyBD output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb8(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               out PdbAnyWD output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb9(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                               out PdbAnyPBD output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_CPdbTb10(ZelDbHandle db, short modelIndex, short osNumber, short index,
                                                out PdbBkup output);

        [DllImport(Library, CallingConvention = Cdecl)]
        public static extern short zel_GetPdbTb10ItemCount(ZelDbHandle db, short modelIndex, short osNumber,
                                                           out int count);
    }
}

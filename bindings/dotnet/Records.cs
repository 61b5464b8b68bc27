// The output records of ZelComFuncDbaseRecords.h: the same names, the same
// fields in the same order with the same widths (int for int32_t, short and
// ushort for the 16-bit fields), and sequential layout with natural
// alignment, which gives the C records' sizes and offsets, trailing padding
// included. The test compares every size and offset with the ones the C
// side pins at compile time.
using System.Runtime.InteropServices;

namespace ZelComFuncDbase
{
    /// <summary>Word address entry of an OSDB file (CDbTb2, CDbTb3).</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct DbAd
    {
        public int address;
        public ushort headWord;
    }

    /// <summary>Bit address of an OSDB file (CDbTb4, CDbTb5): a byte address and a mask of bits within that byte.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct DbBAd
    {
        public int address;
        public ushort bitMask;
    }

    /// <summary>Record of JQWDB table 0 (CPdbTb0).</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct PdbJAd
    {
        public int value1;
        public int value2;
        public short word1;
        public short word2;
        public short attr1;
        public short attr2;
        public short word3;
    }

    /// <summary>Record of JQWDB table 1 (CPdbTb1).</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct PdbCAd
    {
        public int value1;
        public int value2;
        public short word1;
        public short attr1;
        public short attr2;
        public short word2;
    }

    /// <summary>Word device entry of JQWDB tables 2 and 3 (CPdbTb2, CPdbTb3).</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct PdbWD
    {
        public ushort number;
        public ushort kind;
        public ushort extra;
    }

    /// <summary>Bit device entry of JQWDB tables 4 and 5 (CPdbTb4, CPdbTb5).</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct PdbBD
    {
        public ushort number;
        public ushort kind;
    }

    /// <summary>Record of JQWDB tables 6 and 8 (CPdbTb6, CPdbTb8).</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct PdbAnyWD
    {
        public int value1;
        public short word1;
        public short word2;
        public short attr1;
    }

    /// <summary>Record of JQWDB table 7 (CPdbTb7).</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct PdbAnyBD
    {
        public int value1;
        public short word1;
        public short attr1;
        public short attr2;
        public short attr3;
    }

    /// <summary>Record of JQWDB table 9 (CPdbTb9).</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct PdbAnyPBD
    {
        public int value1;
        public short word1;
        public short attr1;
        public short attr2;
        public short attr3;
        public short attr4;
    }

    /// <summary>Item of JQWDB table 10, the backup table (CPdbTb10); tail items carry -1 in the fields they do not have.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct PdbBkup
    {
        public int value1;
        public int value2;
        public short attr1;
        public short attr2;
        public short attr3;
        public short attr4;
        public short attr5;
    }

    /// <summary>The CPU code and OS type of a model index and OS number (CDbCpuOsType).</summary>
    public struct CpuOsType
    {
        public short cpuCode;
        public short osType;
    }
}

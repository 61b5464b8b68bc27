// Tests of the .NET binding: the record layouts against the C side, every
// answer of `zelcomdb dump --all --json` on the sample database asked again
// through CZelComFuncDbase, errors, paths, and Dispose racing with calls.
//
//     ZEL_SAMPLE_DB=build/default/sample-db ZELCOMDB=build/default/bin/zelcomdb \
//     ZEL_SOURCE_DIR=. ZEL_VERSION=1.2.3 LD_LIBRARY_PATH=build/default/lib \
//     mono build/default/tests/dotnet/ZelComFuncDbaseTest.exe
//
// Arguments, if any, select the cases whose names contain one of them. Exit
// status 0 when every case passes; each case prints one line.
using System;
using System.Collections.Concurrent;
using System.Collections.Generic;
using System.Diagnostics;
using System.IO;
using System.Json;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;
using System.Text.RegularExpressions;
using System.Threading;
using ZelComFuncDbase;

static class ZelComFuncDbaseTest
{
    static readonly string SampleDb = Setting("ZEL_SAMPLE_DB");
    static readonly string SourceDir = Setting("ZEL_SOURCE_DIR");
    static int failed;
    static string[] selected;

    static int Main(string[] arguments)
    {
        selected = arguments;
        Case("record layouts match the C records", RecordLayouts);
        Case("every member of the C interface is a member here", MemberNames);
        Case("every answer matches the dump", DumpAnswers);
        Case("result codes: names and texts of the header, thrown by the members", ResultCodes);
        Case("parameter memory passes every 32-bit value through", ParameterMemory);
        Case("the directory reaches the library as UTF-16", Utf16Directory);
        Case("after Dispose every member refuses, the accessor goes with the last call; a copy lives on", DisposedAccessor);
        Case("Dispose while other threads call", DisposeRacingCalls);
        Case("the library's version", () => Equal(Setting("ZEL_VERSION"), CZelComFuncDbase.Version, "version"));
        Console.WriteLine(failed == 0 ? "all cases passed" : failed + " case(s) failed");
        return failed == 0 ? 0 : 1;
    }

    // ---- the small harness -------------------------------------------------

    static string Setting(string name)
    {
        string value = Environment.GetEnvironmentVariable(name);
        if (string.IsNullOrEmpty(value))
            throw new InvalidOperationException("set " + name);
        return value;
    }

    static void Case(string name, Action body)
    {
        if (selected.Length > 0 && !selected.Any(name.Contains))
            return;
        try
        {
            var clock = Stopwatch.StartNew();
            body();
            Console.WriteLine("ok   " + name + " (" + clock.ElapsedMilliseconds + " ms)");
        }
        catch (Exception e)
        {
            ++failed;
            Console.WriteLine("FAIL " + name + ": " + e);
        }
    }

    static void Equal(object expected, object actual, string what)
    {
        if (!Equals(expected, actual))
            throw new Exception(what + ": expected " + expected + ", got " + actual);
    }

    static TException Throws<TException>(Action call, string what) where TException : Exception
    {
        try
        {
            call();
        }
        catch (TException e)
        {
            return e;
        }
        throw new Exception(what + ": no " + typeof(TException).Name);
    }

    // ---- layouts and names against the C headers ---------------------------

    static readonly Dictionary<string, Type> CTypes = new Dictionary<string, Type> {
        { "int32_t", typeof(int) }, { "short", typeof(short) }, { "unsigned short", typeof(ushort) },
    };

    static Type Record(string name)
    {
        Type type = typeof(CZelComFuncDbase).Assembly.GetType("ZelComFuncDbase." + name);
        if (type == null)
            throw new Exception("no record " + name);
        return type;
    }

    // Names, order and types of the fields from ZelComFuncDbaseRecords.h; sizes
    // and offsets from the compile-time pins of record_abi_checks.cpp.
    static void RecordLayouts()
    {
        string header = File.ReadAllText(Path.Combine(SourceDir, "include/ZelComFuncDbaseRecords.h"));
        var fields = new HashSet<string>();
        foreach (Match record in Regex.Matches(header, @"typedef struct (\w+) \{([^}]*)\}"))
        {
            Type type = Record(record.Groups[1].Value);
            var declared = Regex.Matches(record.Groups[2].Value, @"^\s*(int32_t|short|unsigned short) (\w+);",
                                         RegexOptions.Multiline).Cast<Match>()
                               .Select(f => CTypes[f.Groups[1].Value].Name + " " + f.Groups[2].Value);
            var bound = type.GetFields().Select(f => f.FieldType.Name + " " + f.Name);
            Equal(string.Join(", ", declared), string.Join(", ", bound), type.Name + " fields");
            fields.UnionWith(type.GetFields().Select(f => type.Name + "." + f.Name));
        }
        if (fields.Count == 0)
            throw new Exception("no record in the header");

        string pins = File.ReadAllText(Path.Combine(SourceDir, "src/accessor/record_abi_checks.cpp"));
        var pinned = new HashSet<string>();
        foreach (Match size in Regex.Matches(pins, @"ZEL_PIN_SIZE\((\w+), (\d+)\)"))
            Equal(int.Parse(size.Groups[2].Value), Marshal.SizeOf(Record(size.Groups[1].Value)),
                  size.Groups[1].Value + " size");
        foreach (Match field in Regex.Matches(pins, @"ZEL_PIN_FIELD\((\w+), (\w+), (\d+)\)"))
        {
            string name = field.Groups[1].Value + "." + field.Groups[2].Value;
            Equal(int.Parse(field.Groups[3].Value),
                  (int)Marshal.OffsetOf(Record(field.Groups[1].Value), field.Groups[2].Value), name + " offset");
            pinned.Add(name);
        }
        Equal(string.Join(" ", fields.OrderBy(f => f)), string.Join(" ", pinned.OrderBy(f => f)), "fields pinned");
    }

    // The accessor functions of ZelComFuncDbaseC.h and the public members of
    // the class, beside Copy, Dispose and the object's own.
    static void MemberNames()
    {
        string header = File.ReadAllText(Path.Combine(SourceDir, "include/ZelComFuncDbaseC.h"));
        var functions = Regex.Matches(header, @"zel_(\w+)\(ZelDb\* db,").Cast<Match>()
                            .Select(m => m.Groups[1].Value).OrderBy(n => n, StringComparer.Ordinal);
        var members = typeof(CZelComFuncDbase)
                          .GetMethods(BindingFlags.Public | BindingFlags.Instance | BindingFlags.DeclaredOnly)
                          .Select(m => m.Name).Where(n => n != "Copy" && n != "Dispose")
                          .OrderBy(n => n, StringComparer.Ordinal);
        Equal(string.Join(" ", functions), string.Join(" ", members), "members");
    }

    // ---- the dump of the sample database -----------------------------------

    static JsonArray Dump()
    {
        var start = new ProcessStartInfo(Setting("ZELCOMDB"), "dump \"" + SampleDb + "\" --all --json") {
            UseShellExecute = false, RedirectStandardOutput = true,
        };
        using (var zelcomdb = Process.Start(start))
        {
            JsonValue dump = JsonValue.Parse(zelcomdb.StandardOutput.ReadToEnd());
            zelcomdb.WaitForExit();
            Equal(0, zelcomdb.ExitCode, "zelcomdb dump exit status");
            var pairs = (JsonArray)dump["databases"];
            if (pairs.Count < 5)
                throw new Exception("the dump holds " + pairs.Count + " model/OS pairs");
            return pairs;
        }
    }

    // The call gives `expected` (a value, an array of values or a record as a
    // JSON object with exactly its fields), or throws with its {"result": code}.
    static void Answer(string where, Func<object> call, JsonValue expected)
    {
        if (expected.JsonType == JsonType.Object && expected.Count == 1 && expected.ContainsKey("result"))
        {
            Equal((short)expected["result"], (short)Throws<ZelException>(() => call(), where).Code, where + " result");
            return;
        }
        object answer = call();
        if (answer is int)
            Equal((int)expected, answer, where);
        else if (answer is int[])
            Equal(string.Join(",", ((JsonArray)expected).Select(v => (int)v)), string.Join(",", (int[])answer), where);
        else
        {
            var fields = answer.GetType().GetFields();
            Equal(expected.Count, fields.Length, where + " field count");
            foreach (FieldInfo field in fields)
                Equal((long)expected[field.Name], Convert.ToInt64(field.GetValue(answer)), where + "." + field.Name);
        }
    }

    // A row without its selector: the record of tables 3 and 5, or {"result": code}.
    static JsonValue Without(JsonValue row, string selector)
    {
        var rest = new JsonObject();
        foreach (var pair in (JsonObject)row)
            if (pair.Key != selector)
                rest.Add(pair.Key, pair.Value);
        return rest;
    }

    // Rows selected by their `selector` field (or by their place when null),
    // each answering as itself.
    static void Rows(string what, JsonValue rows, string selector, Func<short, object> call)
    {
        short place = 0;
        foreach (JsonValue row in (JsonArray)rows)
        {
            short s = selector == null ? place++ : (short)row[selector];
            Answer(what + " " + s, () => call(s), selector == null ? row : Without(row, selector));
        }
    }

    // Rows whose `list` holds the answers of entries first, first + 1, ...,
    // and whose "result", if any, is the answer of the first entry. A word
    // address listed as a bare number shares its row's head word.
    static void Lists(string what, JsonValue rows, string selector, string list, short first,
                      Func<short, short, object> call)
    {
        short place = 0;
        foreach (JsonValue row in (JsonArray)rows)
        {
            short s = selector == null ? place++ : (short)row[selector], entry = first;
            foreach (JsonValue value in row.ContainsKey(list) ? (JsonArray)row[list] : new JsonArray())
            {
                short e = entry++;
                JsonValue expected = value.JsonType == JsonType.Number && row.ContainsKey("headWord")
                                         ? new JsonObject { { "address", value }, { "headWord", row["headWord"] } }
                                         : value;
                Answer(what + " " + s + "/" + e, () => call(s, e), expected);
            }
            if (row.ContainsKey("result"))
                Answer(what + " " + s, () => call(s, first), Without(row, selector));
        }
    }

    static void DumpAnswers()
    {
        using (var db = new CZelComFuncDbase(SampleDb))
            foreach (JsonValue pair in Dump())
            {
                short m = (short)pair["model"], o = (short)pair["osNumber"];
                JsonValue osdb = pair["osdb"], jqwdb = pair["jqwdb"], backup = jqwdb["pdbTb10"];
                string at = "model " + m + " OS " + o + " ";
                CpuOsType type = db.CDbCpuOsType(m, o);
                Equal((short)pair["cpuCode"] + "/" + (short)pair["osType"], type.cpuCode + "/" + type.osType, at + "type");
                Answer(at + "CDbCpuSpec", () => db.CDbCpuSpec(m, o), osdb["cpuSpec"]);
                if (osdb["cpuSpec"].JsonType == JsonType.Array) // CDbCpuSpec folds every failure into -1
                    Answer(at + "CpuSpec", () => db.CpuSpec(type.cpuCode, type.osType), osdb["cpuSpec"]);
                Lists(at + "CDbTb2", osdb["dbTb2"], "item", "addresses", 1, (i, e) => db.CDbTb2(m, o, i, e));
                Rows(at + "CDbTb3", osdb["dbTb3"], "item", i => db.CDbTb3(m, o, i));
                Lists(at + "CDbTb4", osdb["dbTb4"], "item", "bits", 1, (i, e) => db.CDbTb4(m, o, i, e));
                Rows(at + "CDbTb5", osdb["dbTb5"], "item", i => db.CDbTb5(m, o, i));
                Lists(at + "CDbTbMem", osdb["memory"], "kind", "values", 0, (k, i) => db.CDbTbMem(m, o, k, i));
                Rows(at + "CPdbTb0", jqwdb["pdbTb0"], null, i => db.CPdbTb0(m, o, i));
                Rows(at + "CPdbTb1", jqwdb["pdbTb1"], null, i => db.CPdbTb1(m, o, i));
                Lists(at + "CPdbTb2", jqwdb["pdbTb2"], null, "entries", 1, (i, e) => db.CPdbTb2(m, o, i, e));
                Rows(at + "CPdbTb3", jqwdb["pdbTb3"], null, i => db.CPdbTb3(m, o, i));
                Lists(at + "CPdbTb4", jqwdb["pdbTb4"], null, "entries", 1, (i, e) => db.CPdbTb4(m, o, i, e));
                Rows(at + "CPdbTb5", jqwdb["pdbTb5"], null, i => db.CPdbTb5(m, o, i));
                Rows(at + "CPdbTb6", jqwdb["pdbTb6"], null, i => db.CPdbTb6(m, o, i));
                Rows(at + "CPdbTb7", jqwdb["pdbTb7"], null, i => db.CPdbTb7(m, o, i));
                Rows(at + "CPdbTb8", jqwdb["pdbTb8"], null, i => db.CPdbTb8(m, o, i));
                Rows(at + "CPdbTb9", jqwdb["pdbTb9"], null, i => db.CPdbTb9(m, o, i));
                Rows(at + "CPdbTb10", backup["items"], null, i => db.CPdbTb10(m, o, i));
                Answer(at + "GetPdbTb10ItemCount", () => db.GetPdbTb10ItemCount(m, o), backup["itemCount"]);
            }
    }

    // ---- errors --------------------------------------------------------------

    // The names, values and texts of ZelComFuncDbaseResults.h (each comment
    // begins with the text), and the exceptions the members throw.
    static void ResultCodes()
    {
        string header = File.ReadAllText(Path.Combine(SourceDir, "include/ZelComFuncDbaseResults.h"));
        var declared = Regex.Matches(header, @"(ZEL_\w+) = (-?\d+),?\s*/\* ""([^""]*)""").Cast<Match>().ToList();
        Func<IEnumerable<string>, string> sorted = names => string.Join(" ", names.OrderBy(n => n, StringComparer.Ordinal));
        Equal(sorted(declared.Select(m => m.Groups[1].Value + "=" + m.Groups[2].Value)),
              sorted(Enum.GetValues(typeof(ZelResult)).Cast<ZelResult>().Select(c => c + "=" + (short)c)), "result codes");
        foreach (Match code in declared)
            Equal(code.Groups[3].Value, CZelComFuncDbase.ResultText(short.Parse(code.Groups[2].Value)), code.Groups[1].Value);

        Action<string, ZelResult, Action<CZelComFuncDbase>> expect = (directory, code, call) => {
            using (var db = new CZelComFuncDbase(directory))
            {
                var error = Throws<ZelException>(() => call(db), code.ToString());
                Equal(code, error.Code, error.Member);
                Equal(error.Member + ": result " + (short)code + " (" + CZelComFuncDbase.ResultText((short)code) + ")",
                      error.Message, "message");
            }
        };
        string missing = Path.Combine(SampleDb, "missing");
        expect(SampleDb, ZelResult.ZEL_REFUSED, db => db.CDbTb3(48, 1, 0));
        expect(SampleDb, ZelResult.ZEL_REFUSED, db => db.CPdbTb0(1, 8, 0));
        expect(SampleDb, ZelResult.ZEL_REFUSED, db => db.CDbCpuOsType(-1, 1));
        expect(missing, ZelResult.ZEL_FILE_NOT_FOUND, db => db.CPdbTb0(1, 1, 0));
        expect(missing, ZelResult.ZEL_FILE_NOT_FOUND, db => db.CpuSpec(2, 0));
        expect(missing, ZelResult.ZEL_REFUSED, db => db.CDbCpuSpec(1, 1));
    }

    static void ParameterMemory()
    {
        using (var db = new CZelComFuncDbase(SampleDb))
            foreach (int value in new[] { int.MinValue, -123456789, -1, 0, 65537, int.MaxValue })
                Equal(value, db.CPdbPMem(1, 1, 0, value), "CPdbPMem " + value);
    }

    // A directory named with characters beyond ASCII and beyond the 16-bit
    // plane (a surrogate pair) holds a copy of the sample's files for model 1,
    // OS 1: given with and without a trailing separator, it answers as the
    // sample does. A path that holds NUL, or none, is refused.
    static void Utf16Directory()
    {
        string directory = Path.Combine(Path.GetTempPath(), "zel \u00df\u20ac\U0001F600 " + Guid.NewGuid().ToString("N"));
        Directory.CreateDirectory(directory);
        try
        {
            foreach (string file in new[] { "OSDB2D.BIN", "JQWDB2D.BIN" })
                File.Copy(Path.Combine(SampleDb, file), Path.Combine(directory, file));
            using (var sample = new CZelComFuncDbase(SampleDb))
                foreach (string path in new[] { directory, directory + "/" })
                    using (var db = new CZelComFuncDbase(path))
                    {
                        Equal(string.Join(",", sample.CDbCpuSpec(1, 1)), string.Join(",", db.CDbCpuSpec(1, 1)), path);
                        Equal(sample.CPdbTb0(1, 1, 0), db.CPdbTb0(1, 1, 0), path);
                    }
        }
        finally
        {
            Directory.Delete(directory, true);
        }
        Throws<ArgumentException>(() => new CZelComFuncDbase(SampleDb + "\0/../missing"), "NUL in the path");
        Throws<ArgumentNullException>(() => new CZelComFuncDbase(null), "no path");
    }

    // ---- Dispose -------------------------------------------------------------

    // A reference taken on the accessor's handle stands for a call in
    // progress on another thread: after Dispose every member refuses at once,
    // yet the library's accessor is released only when that call has returned.
    static void DisposedAccessor()
    {
        var db = new CZelComFuncDbase(SampleDb);
        CZelComFuncDbase copy = db.Copy();
        PdbJAd expected = db.CPdbTb0(1, 1, 0);
        var handle = (SafeHandle)typeof(CZelComFuncDbase).GetField("db", BindingFlags.NonPublic | BindingFlags.Instance)
                         .GetValue(db);
        bool inProgress = false;
        handle.DangerousAddRef(ref inProgress);
        db.Dispose();
        db.Dispose();
        foreach (MethodInfo member in typeof(CZelComFuncDbase).GetMethods(BindingFlags.Public | BindingFlags.Instance |
                                                                           BindingFlags.DeclaredOnly))
        {
            if (member.Name == "Dispose")
                continue;
            object[] arguments = member.GetParameters().Select(p => Convert.ChangeType(1, p.ParameterType)).ToArray();
            var error = Throws<TargetInvocationException>(() => member.Invoke(db, arguments), member.Name);
            if (!(error.InnerException is ObjectDisposedException))
                throw new Exception(member.Name + " after Dispose: " + error.InnerException);
        }
        Equal(false, handle.IsClosed, "released under a call in progress");
        handle.DangerousRelease();
        Equal(true, handle.IsClosed, "released when the last call has returned");
        using (copy)
            Equal(expected, copy.CPdbTb0(1, 1, 0), "the copy after its original's Dispose");
    }

    // Four threads call while the main thread disposes the accessor they
    // share, again and again: every call answers right until one throws
    // ObjectDisposedException, and no thread crashes or hangs.
    static void DisposeRacingCalls()
    {
        for (int round = 0; round < 20; ++round)
        {
            var db = new CZelComFuncDbase(SampleDb);
            DbAd expected = db.CDbTb2(1, 1, 0, 1);
            var errors = new ConcurrentQueue<string>();
            int answered = 0;
            var threads = Enumerable.Range(0, 4).Select(_ => new Thread(() => {
                try
                {
                    for (;; Interlocked.Increment(ref answered))
                        if (!db.CDbTb2(1, 1, 0, 1).Equals(expected))
                            errors.Enqueue("a wrong answer");
                }
                catch (ObjectDisposedException)
                {
                }
                catch (Exception e)
                {
                    errors.Enqueue(e.ToString());
                }
            })).ToList();
            threads.ForEach(t => t.Start());
            while (Volatile.Read(ref answered) < 8 * (round + 1))
                Thread.Yield();
            db.Dispose();
            if (!threads.All(t => t.Join(TimeSpan.FromSeconds(60))))
                throw new Exception("a calling thread did not end after Dispose");
            if (errors.Count > 0)
                throw new Exception(string.Join("; ", errors));
        }
    }
}

// A host in the platform compiler's ABI, as a Windows developer writes one
// from a release archive: the host class over the C interface, with only the
// archive's include/ and lib/ZelComFuncDbase.lib. Built with
// ZEL_HOST_WITH_CLASS, the same calls go through CZelComFuncDbase itself, so
// that the two outputs must be equal line for line. No standard library: the
// console part (console_stdio.cpp or console_win32.cpp) writes the text.
#ifdef ZEL_HOST_WITH_CLASS
#include <ZelComFuncDbase.h>
typedef CZelComFuncDbase Accessor;
#else
#include <ZelComFuncDbaseHost.hpp>
typedef CZelComFuncDbaseHost Accessor;
#endif

#include "console.h"

namespace {

// "name result digest": the digest (FNV-1a) covers every byte of the output,
// which is zeroed first, padding included.
class Line {
  public:
    explicit Line(const char* name) : m_length(0) { put(name); }
    Line& number(long value) {
        char digits[12];
        int n = 0;
        unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : value;
        do digits[n++] = static_cast<char>('0' + magnitude % 10);
        while (magnitude /= 10);
        put(value < 0 ? " -" : " ");
        while (n) put(digits[--n]);
        return *this;
    }
    void end() {
        put('\n');
        m_text[m_length] = 0;
        consoleWrite(m_text);
    }

  private:
    void put(char c) {
        if (m_length + 1 < sizeof m_text) m_text[m_length++] = c;
    }
    void put(const char* s) {
        while (*s) put(*s++);
    }
    char m_text[96];
    unsigned m_length;
};

template <class Output>
void zero(Output& output) {
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&output);
    for (unsigned i = 0; i < sizeof output; ++i) bytes[i] = 0;
}

template <class Output>
void show(const char* name, short result, const Output& output) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&output);
    unsigned long digest = 2166136261ul;
    for (unsigned i = 0; i < sizeof output; ++i)
        digest = ((digest ^ bytes[i]) * 16777619ul) & 0xFFFFFFFFul;
    Line(name).number(result).number(static_cast<long>(digest >> 1)).end();
}

// Calls a member with (model, OS, selector, output) and shows the answer.
template <class Output, class Member>
void ask(const char* name, Accessor& db, Member member, short model, short os, short selector) {
    Output output;
    zero(output);
    show(name, (db.*member)(model, os, selector, &output), output);
}

template <class Output, class Member>
void askEntry(const char* name, Accessor& db, Member member, short model, short os, short item,
              short entry) {
    Output output;
    zero(output);
    show(name, (db.*member)(model, os, item, entry, &output), output);
}

void askAll(Accessor& db, short model, short os) {
    Line("model").number(model).number(os).end();
    short codes[2] = {0, 0};
    show("CDbCpuOsType", db.CDbCpuOsType(&codes[0], &codes[1], model, os), codes);
    ZelLong values[6];
    zero(values);
    show("CDbCpuSpec", db.CDbCpuSpec(model, os, values), values);
    zero(values);
    show("CpuSpec", db.CpuSpec(codes[0], codes[1], values), values);
    ZelLong one = 0;
    show("CDbTbMem", db.CDbTbMem(model, os, 0, 1, &one), one);
    one = 0;
    show("CPdbPMem", db.CPdbPMem(model, os, 1, 0x12345678, &one), one);
    one = 0;
    show("GetPdbTb10ItemCount", db.GetPdbTb10ItemCount(model, os, &one), one);
    for (short i = 0; i < 3; ++i) {
        askEntry<DbAd>("CDbTb2", db, &Accessor::CDbTb2, model, os, i, 1);
        ask<DbAd>("CDbTb3", db, &Accessor::CDbTb3, model, os, i);
        askEntry<DbBAd>("CDbTb4", db, &Accessor::CDbTb4, model, os, i, 1);
        ask<DbBAd>("CDbTb5", db, &Accessor::CDbTb5, model, os, i);
        ask<PdbJAd>("CPdbTb0", db, &Accessor::CPdbTb0, model, os, i);
        ask<PdbCAd>("CPdbTb1", db, &Accessor::CPdbTb1, model, os, i);
        askEntry<PdbWD>("CPdbTb2", db, &Accessor::CPdbTb2, model, os, i, 1);
        ask<PdbWD>("CPdbTb3", db, &Accessor::CPdbTb3, model, os, i);
        askEntry<PdbBD>("CPdbTb4", db, &Accessor::CPdbTb4, model, os, i, 1);
        ask<PdbBD>("CPdbTb5", db, &Accessor::CPdbTb5, model, os, i);
        ask<PdbAnyWD>("CPdbTb6", db, &Accessor::CPdbTb6, model, os, i);
        ask<PdbAnyBD>("CPdbTb7", db, &Accessor::CPdbTb7, model, os, i);
        ask<PdbAnyWD>("CPdbTb8", db, &Accessor::CPdbTb8, model, os, i);
        ask<PdbAnyPBD>("CPdbTb9", db, &Accessor::CPdbTb9, model, os, i);
        ask<PdbBkup>("CPdbTb10", db, &Accessor::CPdbTb10, model, os, i);
    }
}

}  // namespace

void hostMain(const char* directory) {
    Accessor db(directory);
    const short models[] = {0, 1, 13, 20, 47, 48};
    const short osNumbers[] = {1, 2, 7, 8};
    for (short model : models)
        for (short os : osNumbers) askAll(db, model, os);
    // A copy, and an accessor of a missing directory given the database by
    // assignment, answer as the first one.
    Accessor copy(db);
    Accessor assigned("no-such-directory");
    askAll(assigned, 1, 1);
    assigned = copy;
    askAll(assigned, 1, 1);
}

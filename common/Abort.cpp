// common/Abort.cpp: the out-of-line operations of CAbort, and the name
// under which its virtual table is exported.
//
// The host's support library provides these in the product; the module
// carries its own, with the meaning given in Abort.h.
#include "Abort.h"

#include "AsmSymbol.h"

#include <new>

static_assert(sizeof(CAbort) == sizeof(void*) + 4 * sizeof(uint32_t),
              "the host's layout: the virtual table, then four 32-bit data words");

// g_abortVtable is the virtual table's symbol plus two pointers. The table
// is emitted in this file, beside Destroy, the class's first out-of-line
// virtual operation, so the name is defined here too.
#define FERLO_ABORT_ALIAS FERLO_ASM_SYMBOL(g_abortVtable)
#define FERLO_ABORT_TABLE FERLO_ASM_SYMBOL(_ZTV6CAbort)
#define FERLO_TWO_POINTERS "2 * " FERLO_ASM_TEXT(__SIZEOF_POINTER__)
asm(".globl " FERLO_ABORT_ALIAS "\n\t.set " FERLO_ABORT_ALIAS ", " FERLO_ABORT_TABLE
    " + " FERLO_TWO_POINTERS);

void* ZRCALL CAbort::Destroy(unsigned int nFlags)
{
    this->~CAbort();
    if (nFlags & kDestroyFree)
        ::operator delete(this);
    return this;
}

int ZRCALL CAbort::IsProcessing()
{
    return m_bProcessing ? 1 : 0;
}

void ZRCALL CAbort::AbortProcess()
{
    m_bAborted = 1;
}

int ZRCALL CAbort::IsAborted()
{
    return m_bAborted ? 1 : 0;
}

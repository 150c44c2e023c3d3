// common/ExportedConstructors.cpp: the constructors of String and CAbort as
// the 32-bit module exports them under the host compiler's names.
//
// The host's compiler has a constructor return the object's address, and
// the code it makes may use that result (the value of a new-expression, the
// object a derived constructor goes on to build); the module's compiler
// returns nothing from a constructor. Each export is therefore this
// module's constructor called on the host's storage, then that storage's
// address returned, in the member-call convention.
#include "Abort.h"
#include "AsmSymbol.h"
#include "String.h"

// The module's own constructors, by their symbols: String(int) is private,
// and CAbort, whose operations the host's classes supply, cannot be made
// alone in C++.
void ZRCALL ConstructString(String* pThis) asm(FERLO_ASM_SYMBOL(_ZN6StringC1Ev));
void ZRCALL ConstructStringOfLength(String* pThis, int n) asm(FERLO_ASM_SYMBOL(_ZN6StringC1Ei));
void ZRCALL CopyConstructAbort(CAbort* pThis, const CAbort* pOther) asm(FERLO_ASM_SYMBOL(_ZN6CAbortC1ERKS_));

extern "C" {

String* ZRCALL FerloStringConstructor(String* pThis)
{
    ConstructString(pThis);
    return pThis;
}

String* ZRCALL FerloStringOfLengthConstructor(String* pThis, int n)
{
    ConstructStringOfLength(pThis, n);
    return pThis;
}

CAbort* ZRCALL FerloAbortCopyConstructor(CAbort* pThis, const CAbort* pOther)
{
    CopyConstructAbort(pThis, pOther);
    return pThis;
}

} // extern "C"

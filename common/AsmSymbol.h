// common/AsmSymbol.h: a symbol's name as the assembler spells it, with the
// platform's prefix (an underscore on 32-bit Windows), for asm statements
// and labels that name the compiler's own symbols.
#pragma once

#define FERLO_ASM_TEXT_(x) #x
#define FERLO_ASM_TEXT(x) FERLO_ASM_TEXT_(x)
#define FERLO_ASM_SYMBOL(name) FERLO_ASM_TEXT(__USER_LABEL_PREFIX__) #name

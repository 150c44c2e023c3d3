// common/Abort.h: the host library's progress interface, which comes from
// the same header as String. The module never creates, receives or calls a
// CAbort; its export table carries the copy constructor, the copy
// assignment and the virtual table, so they are kept here with the host
// compiler's layout.
#pragma once

#include "String.h"

#include <stdint.h>

class CAbort
{
public:
    // Slot 0: where the host's compiler keeps the deleting destructor, one
    // slot taking a flag whose bit 0 asks for the memory to be freed and
    // returning the object's address. A C++ virtual destructor would take
    // two slots with the module's compiler and move every later operation,
    // so the slot is a named operation. This one frees only the CAbort part;
    // a derived class that owns anything overrides it.
    virtual void* ZRCALL Destroy(unsigned int nFlags);

    // Slots 1 to 4: the host's progress operations, which each derived
    // class supplies.
    virtual int ZRCALL Reserved1() = 0;
    virtual int ZRCALL Reserved2() = 0;
    virtual int ZRCALL Reserved3() = 0;
    virtual int ZRCALL Reserved4() = 0;

    // Slots 5 to 7, over the first two data words: IsProcessing reports
    // m_bProcessing; AbortProcess asks the work to stop by setting
    // m_bAborted, which IsAborted reports. Results are 1 or 0.
    virtual int ZRCALL IsProcessing();
    virtual void ZRCALL AbortProcess();
    virtual int ZRCALL IsAborted();

    // Copying copies the four data words; the virtual table stays the one
    // of the object being built or assigned to.
    FERLO_EMIT CAbort(const CAbort& other)
        : m_bProcessing(other.m_bProcessing), m_bAborted(other.m_bAborted), m_nReserved1(other.m_nReserved1),
          m_nReserved2(other.m_nReserved2)
    {
    }
    FERLO_EMIT CAbort& operator=(const CAbort& other)
    {
        m_bProcessing = other.m_bProcessing;
        m_bAborted = other.m_bAborted;
        m_nReserved1 = other.m_nReserved1;
        m_nReserved2 = other.m_nReserved2;
        return *this;
    }

protected:
    CAbort() : m_bProcessing(0), m_bAborted(0), m_nReserved1(0), m_nReserved2(0) {}
    // Objects are destroyed through Destroy, never through a CAbort pointer.
    ~CAbort() {}

    int32_t m_bProcessing;
    int32_t m_bAborted;
    // Kept for derived classes; CAbort itself only copies them.
    uint32_t m_nReserved1;
    uint32_t m_nReserved2;
};

// CAbort's virtual table as the host's compiler lays it out: the address of
// slot 0, which the module exports as the table itself. The module's
// compiler puts two words (offset to top, type information) before the
// first slot of its own table, so this names an address inside that table.
extern "C" void* const g_abortVtable[8];

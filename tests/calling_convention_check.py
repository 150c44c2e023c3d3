#!/usr/bin/env python3
"""tests/calling_convention_check.py: checks, in the built 32-bit DLL, that
every operation the host calls through a virtual table removes its own
arguments from the stack, as the host's member-call convention requires.

A caller-cleans function would end in a plain 'ret'; the host's compiler
expects 'ret N' with N the bytes of the arguments it pushed. Functions whose
virtual slot takes no arguments end in a plain 'ret' either way and are
listed with 0.
"""
import re
import subprocess
import sys

OBJDUMP, NM, DLL = sys.argv[1], sys.argv[2], sys.argv[3]
POINTER = 4

# Virtual table symbol -> bytes each slot's function removes, slot by slot.
TABLES = {
    # Destroy(flags), ParseOptions(&options), Commit(), Configure(&result,
    # &changed, options), BeginTable(&name, fields, count), EndTable(),
    # BeginRecord(path), EndRecord(), WriteField(field), Reserved9(),
    # ForwardBeginTable(&name, fields, count), Reserved11(a, b, c),
    # Reserved12(a, b, c).
    "__ZTV12CFerloFilter": [4, 4, 0, 12, 12, 0, 4, 0, 4, 0, 12, 12, 12],
    # The string manager through which the host releases strings the module
    # returns: Allocate(length, size), Free(data), Reallocate(data, length,
    # size), GetNilString(), Clone().
    "__ZTVN12_GLOBAL__N_115ModuleStringMgrE": [8, 4, 12, 0, 0],
}


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def symbol_addresses():
    found = {}
    for line in run(NM, DLL).splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[2] in TABLES:
            found[parts[2]] = int(parts[0], 16)
    return found


def read_words(address, count):
    """Little-endian 32-bit words of the image at address."""
    dump = run(OBJDUMP, "-s", "--start-address=%#x" % address,
               "--stop-address=%#x" % (address + 4 * count), DLL)
    data = b""
    for line in dump.splitlines():
        m = re.match(r"^ ([0-9a-f]{8}) ((?:[0-9a-f]{2,8} ){1,4})", line)
        if m:
            data += bytes.fromhex(m.group(2).replace(" ", ""))
    return [int.from_bytes(data[i:i + 4], "little") for i in range(0, 4 * count, 4)]


def functions():
    """Start address -> how the function there returns: ('ret', bytes),
    a tail jump to another function ('jmp', address), or a tail jump through
    the object's own virtual table ('slot', index)."""
    result, current = {}, None
    for line in run(OBJDUMP, "-d", "--no-show-raw-insn", DLL).splitlines():
        m = re.match(r"^([0-9a-f]{8}) <.*>:$", line)
        if m:
            current = result.setdefault(int(m.group(1), 16), [])
            continue
        if current is None:
            continue
        m = re.match(r"^\s*[0-9a-f]+:\s+ret\s*(\$0x[0-9a-f]+)?", line)
        if m:
            current.append(("ret", int(m.group(1)[1:], 16) if m.group(1) else 0))
        m = re.match(r"^\s*[0-9a-f]+:\s+jmp\s+([0-9a-f]+) <", line)
        if m:
            current.append(("jmp", int(m.group(1), 16)))
        m = re.match(r"^\s*[0-9a-f]+:\s+jmp\s+\*(0x[0-9a-f]+)?\(%eax\)", line)
        if m:
            current.append(("slot", int(m.group(1) or "0", 16) // POINTER))
    return result


def pops_of(code, slots, target, seen=()):
    """The bytes removed on every way out of the function at target."""
    pops = set()
    for kind, value in code.get(target, []):
        if kind == "ret":
            pops.add(value)
        elif kind == "jmp" and value in code and value not in seen:
            pops |= pops_of(code, slots, value, seen + (target,))
        elif kind == "slot" and value < len(slots) and slots[value] not in seen:
            pops |= pops_of(code, slots, slots[value], seen + (target,))
    return pops


def main():
    addresses = symbol_addresses()
    code = functions()
    failed = passed = 0
    for table, pops in TABLES.items():
        if table not in addresses:
            print("FAIL %s: no such virtual table" % table)
            failed += 1
            continue
        # The table's symbol stands two words before its first slot.
        slots = read_words(addresses[table] + 2 * POINTER, len(pops))
        for slot, (target, expected) in enumerate(zip(slots, pops)):
            rets = sorted(pops_of(code, slots, target))
            ok = rets == [expected]
            print("%s %s slot %d at %#x: ret %s, expected %d" %
                  ("ok  " if ok else "FAIL", table, slot, target, rets, expected))
            passed += ok
            failed += not ok
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


sys.exit(main())

#!/usr/bin/env python3
"""tests/calling_convention_check.py OBJDUMP NM DLL: checks in the built 32-bit
DLL that every slot the host calls removes its own arguments ('ret N'), as the
host's member-call convention requires (no arguments: a plain 'ret' either way).
"""
import re
import subprocess
import sys

OBJDUMP, NM, DLL = sys.argv[1:4]

# Virtual table symbol -> the bytes each slot removes, from the arguments of
# Destroy .. Reserved12 (Configure: result, flag, options), and of the string
# manager the host releases the module's strings through (Allocate .. Clone).
TABLES = {
    "__ZTV12CFerloFilter": [4, 4, 0, 12, 12, 0, 4, 0, 4, 0, 12, 12, 12],
    "__ZTVN12_GLOBAL__N_115ModuleStringMgrE": [8, 4, 12, 0, 0],
}


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def slots_of(address, count):
    """The slots of a table, whose symbol stands two words before slot 0."""
    start = address + 8
    dump = run(OBJDUMP, "-s", "--start-address=%#x" % start, "--stop-address=%#x" % (start + 4 * count), DLL)
    data = b"".join(bytes.fromhex(m.group(1).replace(" ", ""))
                    for m in re.finditer(r"^ [0-9a-f]{8} ((?:[0-9a-f]{2,8} ){1,4})", dump, re.M))
    return [int.from_bytes(data[i:i + 4], "little") for i in range(0, 4 * count, 4)]


def functions():
    """Start address -> the function's ways out: ('ret', bytes), a tail jump
    ('jmp', address), or one through the object's own table ('slot', index)."""
    result, current = {}, []
    patterns = [("ret", r"ret\s*(?:\$(0x[0-9a-f]+))?", lambda v: int(v or "0", 16)),
                ("jmp", r"jmp\s+([0-9a-f]+) <", lambda v: int(v, 16)),
                ("slot", r"jmp\s+\*(0x[0-9a-f]+)?\(%eax\)", lambda v: int(v or "0", 16) // 4)]
    for line in run(OBJDUMP, "-d", "--no-show-raw-insn", DLL).splitlines():
        m = re.match(r"^([0-9a-f]{8}) <.*>:$", line)
        if m:
            current = result.setdefault(int(m.group(1), 16), [])
        for kind, pattern, value in patterns:
            m = re.match(r"^\s*[0-9a-f]+:\s+" + pattern, line)
            if m:
                current.append((kind, value(m.group(1))))
    return result


def pops_of(code, slots, target, seen=()):
    """The bytes removed on every way out of the function at target."""
    pops = set()
    for kind, value in code.get(target, []):
        if kind == "slot":
            value = slots[value] if value < len(slots) else None
        if kind == "ret":
            pops.add(value)
        elif value in code and value not in seen:
            pops |= pops_of(code, slots, value, seen + (target,))
    return pops


def main():
    addresses = {p[2]: int(p[0], 16) for p in (line.split() for line in run(NM, DLL).splitlines())
                 if len(p) == 3 and p[2] in TABLES}
    code = functions()
    failed = passed = 0
    for table, pops in TABLES.items():
        if table not in addresses:
            print("FAIL %s: no such virtual table" % table)
            failed += 1
            continue
        slots = slots_of(addresses[table], len(pops))
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

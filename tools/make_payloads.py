#!/usr/bin/python3
"""Regenerates the default product's three payload archives, products/quernfield-reverb3/bundles/*.zip.

Everything in them is made here, from fixed seeds, so every run writes the same bytes:

* the plug-in binaries: 64-bit Windows DLLs cross-compiled with mingw-w64 from generated C
  (a shared pool of DSP-like functions, one entry file per format, a version resource and a
  reverb impulse-response table); each DLL is brought to its exact shipped size and its
  entry to its exact compressed size by the length of the impulse response's tail;
* the bundle folder's desktop.ini and Plugin.ico (our own artwork, drawn here);
* the VST3 bundle's moduleinfo.json;
* the zip archives themselves, written entry by entry (backslash separators, MS-DOS host,
  fixed date), since Python's zipfile stamps the running host and may rewrite separators.

Work files go to build/payloads/.  Standard library only.

Usage: make_payloads.py [--clean]
  --clean  recompile the function pool even where a cached object matches.
"""

import array
import hashlib
import json
import math
import os
import shutil
import struct
import subprocess
import sys
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build", "payloads")
OUT = os.path.join(ROOT, "products", "quernfield-reverb3", "bundles")

PRODUCT = "QuernfieldReverb3"
VENDOR = "Fernhollow"
VERSION4 = (3, 2, 1, 0)
VERSION_TEXT = "3.2.1"
MAKER_URL = "https://www.fernhollow.example/collections/software/products/fh002-quernfield-reverb"
MAKER_MAIL = "info@fernhollow.example"

# Every entry is dated 2026-05-28 12:00:00 (MS-DOS date and time fields).
DOS_DATE = ((2026 - 1980) << 9) | (5 << 5) | 28
DOS_TIME = (12 << 11) | (0 << 5) | (0 // 2)

CC = "x86_64-w64-mingw32-gcc"
WINDRES = "x86_64-w64-mingw32-windres"
POOL_CFLAGS = ["-O2", "-funroll-loops", "-fno-ident", "-w"]
POOL_UNITS = 16          # translation units in the shared function pool
POOL_FUNCS = 700         # functions per unit
POOL_SEED = 0x5155_4552_4E46_4C44

# The sizes the product ships with: each DLL's length and each archive's length.
FORMATS = [
    {
        "key": "vst3", "label": "VST3", "units": 16, "seed": 0x7653_7433,
        "dll_size": 6233896, "zip_size": 2723161,
        "bundle": PRODUCT + ".vst3",
        "dll_entry": PRODUCT + ".vst3\\Contents\\x86_64-win\\" + PRODUCT + ".vst3",
        "original": PRODUCT + ".vst3", "description": "QuernfieldReverb3 VST3 plug-in",
    },
    {
        "key": "clap", "label": "CLAP", "units": 15, "seed": 0x636C_6170,
        "dll_size": 5885736, "zip_size": 2576199,
        "bundle": None,
        "dll_entry": PRODUCT + ".clap",
        "original": PRODUCT + ".clap", "description": "QuernfieldReverb3 CLAP plug-in",
    },
    {
        "key": "aax", "label": "AAX", "units": 16, "seed": 0x6161_7821,
        "dll_size": 6018656, "zip_size": 2637108,
        "bundle": PRODUCT + ".aaxplugin",
        "dll_entry": PRODUCT + ".aaxplugin\\Contents\\x64\\" + PRODUCT + ".aaxplugin",
        "original": PRODUCT + ".aaxplugin", "description": "QuernfieldReverb3 AAX plug-in",
    },
]
DESKTOP_INI_SIZE = 80
ICO_SIZE = 21535
MODULEINFO_SIZE = 1167

IR_MAGIC = b"QFIRTBL1"
IR_HEADER = 32
IR_MIN_BYTES = 256 * 1024


def log(msg):
    print("make_payloads: " + msg, flush=True)


def fail(msg):
    print("make_payloads: error: " + msg, file=sys.stderr, flush=True)
    sys.exit(1)


def run(cmd, **kw):
    r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, **kw)
    if r.returncode != 0:
        sys.stderr.write(r.stdout.decode("utf-8", "replace"))
        fail("command failed: " + " ".join(cmd))
    return r.stdout


def write_if_changed(path, data):
    if isinstance(data, str):
        data = data.encode("utf-8")
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    with open(path, "wb") as f:
        f.write(data)
    return True


def deflate(data):
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


class Rng:
    """splitmix64: fixed output for a fixed seed on every Python."""

    MASK = (1 << 64) - 1

    def __init__(self, seed):
        self.x = seed & self.MASK

    def next(self):
        self.x = (self.x + 0x9E3779B97F4A7C15) & self.MASK
        z = self.x
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & self.MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & self.MASK
        return z ^ (z >> 31)

    def below(self, n):
        return self.next() % n

    def pick(self, seq):
        return seq[self.below(len(seq))]

    def unit(self):
        return (self.next() >> 11) / float(1 << 53)

    def u32(self):
        return self.next() & 0xFFFFFFFF

    def gauss(self):
        u1 = max(self.unit(), 1e-12)
        u2 = self.unit()
        return math.sqrt(-2.0 * math.log(u1)) * math.cos(2.0 * math.pi * u2)


# ---------------------------------------------------------------------------------------------
# The function pool: DSP-flavoured C, compiled once and linked into all three binaries.

def f_const(r, lo=-2.0, hi=2.0):
    return "%.7gf" % (lo + (hi - lo) * r.unit())


def int_expr(r, vs, depth, calls):
    if depth <= 0 or r.below(4) == 0:
        if r.below(3) == 0:
            return "%uu" % r.below(1 << r.pick([4, 8, 16, 31]))
        return r.pick(vs)
    a = int_expr(r, vs, depth - 1, calls)
    b = int_expr(r, vs, depth - 1, calls)
    k = r.below(13)
    if k < 2:
        return "(%s + %s)" % (a, b)
    if k < 3:
        return "(%s - %s)" % (a, b)
    if k < 4:
        return "(%s * %uu)" % (a, r.u32() | 1)
    if k < 5:
        return "(%s ^ %s)" % (a, b)
    if k < 6:
        return "(%s >> %d)" % (a, 1 + r.below(30))
    if k < 7:
        return "(%s << %d)" % (a, 1 + r.below(30))
    if k < 8:
        return "(%s & 0x%xu)" % (a, r.u32())
    if k < 9:
        return "(%s | %s)" % (a, b)
    if k < 10:
        return "(%s > %s ? %s : %s)" % (a, b, int_expr(r, vs, depth - 2, calls), b)
    if k < 11 and calls:
        return "%s(%s)" % (r.pick(calls), a)
    if k < 12:
        return "(%s / (%s | 1u))" % (a, b)
    return "qf_rotl(%s, %d)" % (a, 1 + r.below(31))


def flt_expr(r, vs, depth):
    if depth <= 0 or r.below(4) == 0:
        if r.below(3) == 0:
            return f_const(r)
        return r.pick(vs)
    a = flt_expr(r, vs, depth - 1)
    b = flt_expr(r, vs, depth - 1)
    k = r.below(9)
    if k < 2:
        return "(%s + %s)" % (a, b)
    if k < 3:
        return "(%s - %s)" % (a, b)
    if k < 5:
        return "(%s * %s)" % (a, f_const(r, -1.0, 1.0))
    if k < 6:
        return "(%s * %s)" % (a, b)
    if k < 7:
        return "(%s > %s ? %s : %s)" % (a, b, a, flt_expr(r, vs, depth - 2))
    if k < 8:
        return "qf_absf(%s)" % a
    return "qf_clampf(%s, %s)" % (a, f_const(r, 0.5, 4.0))


def fn_mix(r, name, calls):
    vs = ["x", "y", "z", "w"]
    out = ["uint32_t %s(uint32_t x)" % name, "{",
           "    uint32_t y = x * %uu, z = x ^ 0x%xu, w = 0x%xu;" % (r.u32() | 1, r.u32(), r.u32())]
    for _ in range(3 + r.below(6)):
        out.append("    %s = %s;" % (r.pick(vs), int_expr(r, vs, 3, calls)))
    out += ["    return %s;" % int_expr(r, vs, 2, calls), "}"]
    return out, True


def fn_switch(r, name, calls):
    mod = 6 + r.below(20)
    out = ["uint32_t %s(uint32_t x)" % name, "{",
           "    uint32_t a = x >> %d, b = x * %uu;" % (r.below(8), r.u32() | 1),
           "    switch (x %% %du)" % mod, "    {"]
    cases = sorted(set(r.below(mod) for _ in range(4 + r.below(14))))
    vs = ["a", "b", "x"]
    for c in cases:
        out.append("    case %d: a = %s; b ^= %s; break;" % (c, int_expr(r, vs, 2, calls), int_expr(r, vs, 1, calls)))
    out += ["    default: a += 0x%xu; break;" % r.u32(), "    }",
            "    return a ^ (b >> %d);" % (1 + r.below(20)), "}"]
    return out, True


def fn_filter(r, name, calls):
    out = ["float %s(float* buf, int n, float g)" % name, "{",
           "    float s0 = %s, s1 = 0.0f, acc = 0.0f;" % f_const(r, -0.1, 0.1),
           "    for (int i = 0; i < n; ++i)", "    {", "        float in = buf[i] * g;"]
    vs = ["in", "s0", "s1", "acc", "g"]
    for v in ["s1", "s0", "acc"]:
        out.append("        %s = %s;" % (v, flt_expr(r, vs, 3)))
    out += ["        buf[i] = %s;" % flt_expr(r, vs, 2), "    }",
            "    return acc + s0 * %s;" % f_const(r, 0.0, 1.0), "}"]
    return out, False


def fn_biquad(r, name, calls):
    c = [f_const(r, -1.9, 1.9) for _ in range(5)]
    out = ["void %s(const float* in, float* out, int n, float* z)" % name, "{",
           "    float z1 = z[0], z2 = z[1];",
           "    for (int i = 0; i < n; ++i)", "    {",
           "        float x = in[i];",
           "        float y = %s * x + z1;" % c[0],
           "        z1 = %s * x - %s * y + z2;" % (c[1], c[3]),
           "        z2 = %s * x - %s * y;" % (c[2], c[4]),
           "        out[i] = %s;" % flt_expr(r, ["y", "x", "z1"], 2), "    }",
           "    z[0] = z1; z[1] = z2;", "}"]
    return out, False


def fn_table(r, name, calls):
    n = r.pick([8, 16, 32, 64])
    if r.below(2):
        vals = ", ".join("%.6gf" % (r.unit() * 2 - 1) for _ in range(n))
        out = ["static const float %s_t[%d] = { %s };" % (name, n, vals),
               "float %s_l(float p)" % name, "{",
               "    float q = p * %d.0f; int i = (int)q; float f = q - (float)i;" % (n - 1),
               "    if (i < 0) i = 0;", "    if (i > %d) i = %d;" % (n - 2, n - 2),
               "    return %s_t[i] + (%s_t[i + 1] - %s_t[i]) * f * %s;" % (name, name, name, f_const(r, 0.5, 1.5)),
               "}"]
        return out, False
    vals = ", ".join("0x%xu" % r.u32() for _ in range(n))
    out = ["static const uint32_t %s_t[%d] = { %s };" % (name, n, vals),
           "uint32_t %s(uint32_t x)" % name, "{", "    uint32_t h = 0x%xu;" % r.u32(),
           "    for (int i = 0; i < %d; ++i)" % (4 + r.below(12)),
           "    {", "        h = (h ^ %s_t[(x + i) & %d]) * %uu;" % (name, n - 1, r.u32() | 1),
           "        x = %s;" % int_expr(r, ["x", "h"], 2, calls), "    }",
           "    return h;", "}"]
    return out, True


def fn_state(r, name, calls):
    nf = 3 + r.below(5)
    out = ["typedef struct { float f[%d]; uint32_t k[%d]; int mode; } %s_s;" % (nf, nf, name),
           "void %s(void* p, float x, int n)" % name, "{",
           "    %s_s* s = (%s_s*) p;" % (name, name),
           "    for (int j = 0; j < n; ++j)", "    {"]
    for i in range(nf):
        out.append("        s->f[%d] = %s;" % (i, flt_expr(r, ["x", "s->f[%d]" % i, "s->f[%d]" % ((i + 1) % nf)], 2)))
        out.append("        s->k[%d] = %s;" % (i, int_expr(r, ["s->k[%d]" % i, "(uint32_t) j", "(uint32_t) s->mode"], 2, calls)))
    out += ["        if (s->k[0] & 0x%xu) s->mode = (s->mode + %d) & 7; else x = x * %s;"
            % (r.u32() & 0xFF, 1 + r.below(6), f_const(r, 0.0, 1.0)),
            "    }", "}"]
    return out, False


def fn_poly(r, name, calls):
    deg = 3 + r.below(7)
    coeff = ["%.12g" % (r.unit() * 4 - 2) for _ in range(deg + 1)]
    out = ["double %s(double x, double lo, double hi)" % name, "{",
           "    if (x < lo) x = lo;", "    if (x > hi) x = hi;",
           "    double acc = %s;" % coeff[0]]
    for c in coeff[1:]:
        out.append("    acc = acc * x + %s;" % c)
    out += ["    return acc > %s ? acc * %.9g : acc;" % ("%.9g" % (r.unit() * 3), r.unit()), "}"]
    return out, False


def fn_bytes(r, name, calls):
    out = ["int %s(const unsigned char* p, int n, unsigned char* o)" % name, "{",
           "    int count = 0;", "    uint32_t st = 0x%xu;" % r.u32(),
           "    for (int i = 0; i < n; ++i)", "    {",
           "        unsigned c = p[i];",
           "        if (c == %du || c == %du) { st = %s; ++count; }" % (r.below(256), r.below(256), int_expr(r, ["st", "c"], 2, calls)),
           "        else if (c > %du) st ^= c << %d;" % (r.below(256), r.below(24)),
           "        o[i] = (unsigned char) (%s);" % int_expr(r, ["st", "c"], 2, calls), "    }",
           "    return count + (int) (st & %du);" % (1 + r.below(255)), "}"]
    return out, False


POOL_KINDS = [fn_mix, fn_switch, fn_filter, fn_biquad, fn_table, fn_state, fn_poly, fn_bytes, fn_mix, fn_filter]

POOL_PRELUDE = """#include <stdint.h>
static inline uint32_t qf_rotl(uint32_t v, int s) { return (v << s) | (v >> (32 - s)); }
static inline float qf_absf(float v) { return v < 0.0f ? -v : v; }
static inline float qf_clampf(float v, float m) { return v > m ? m : (v < -m ? -m : v); }
"""


def pool_source(index):
    r = Rng(POOL_SEED ^ (index * 0x1000193))
    lines = [POOL_PRELUDE]
    calls = []
    for i in range(POOL_FUNCS):
        name = "qf%02x_%04x" % (index, i)
        body, callable_ = r.pick(POOL_KINDS)(r, name, calls[-40:])
        lines.append("\n".join(body))
        if callable_:
            calls.append(name)
    return "\n".join(lines) + "\n"


def build_pool(clean):
    src_dir = os.path.join(WORK, "pool")
    os.makedirs(src_dir, exist_ok=True)
    objs = []
    compiled = 0
    for i in range(POOL_UNITS):
        src = pool_source(i)
        key = hashlib.sha256((src + "\0" + " ".join(POOL_CFLAGS)).encode()).hexdigest()[:16]
        c_path = os.path.join(src_dir, "unit%02d.c" % i)
        o_path = os.path.join(src_dir, "unit%02d.o" % i)
        k_path = o_path + ".key"
        write_if_changed(c_path, src)
        cached = (not clean and os.path.exists(o_path) and os.path.exists(k_path)
                  and open(k_path).read() == key)
        if not cached:
            run(["nice", "-n", "10", CC] + POOL_CFLAGS + ["-c", c_path, "-o", o_path])
            with open(k_path, "w") as f:
                f.write(key)
            compiled += 1
        objs.append(o_path)
    log("function pool: %d units, %d compiled, %d cached" % (POOL_UNITS, compiled, POOL_UNITS - compiled))
    return objs


# ---------------------------------------------------------------------------------------------
# One format's binary.

ENTRY_SOURCES = {
    "vst3": r"""
/* VST3 module entry points. This build exposes no factory: a host that loads it finds none. */
QF_EXPORT int InitDll(void) { return qf_engine_warmup(0x5633u) != 0u; }
QF_EXPORT int ExitDll(void) { return 1; }
QF_EXPORT void* GetPluginFactory(void) { return (void*) 0; }
""",
    "clap": r"""
/* CLAP entry: a versioned table whose init reports failure, so hosts skip the file. */
typedef struct { uint32_t major, minor, revision; } qf_clap_version;
typedef struct
{
    qf_clap_version version;
    int (*init) (const char* path);
    void (*deinit) (void);
    const void* (*get_factory) (const char* id);
} qf_clap_entry;
static int qf_clap_init(const char* path) { (void) path; return qf_engine_warmup(0x434cu) == 0xffffffffu; }
static void qf_clap_deinit(void) {}
static const void* qf_clap_factory(const char* id) { (void) id; return (const void*) 0; }
QF_EXPORT const qf_clap_entry clap_entry = { { 1, 2, 2 }, qf_clap_init, qf_clap_deinit, qf_clap_factory };
""",
    "aax": r"""
/* Stand-in host-registration entry points; each one declines. */
QF_EXPORT int QfHostModuleStartup(void* host) { (void) host; return qf_engine_warmup(0x4141u) ? -1 : -2; }
QF_EXPORT int QfHostModuleShutdown(void) { return 0; }
QF_EXPORT int QfHostDescribePlugIns(void* sink) { (void) sink; return -1; }
QF_EXPORT int QfHostCanUnloadNow(void) { return 1; }
QF_EXPORT int ACFRegisterPlugin(void* unknown, void* definition) { (void) unknown; (void) definition; return -1; }
""",
}

ENTRY_PRELUDE = r"""#include <stdint.h>
#define QF_EXPORT __attribute__ ((dllexport))
extern const unsigned char qf_ir_table[];
uint32_t %(seed_fn)s(uint32_t x);

/* Touches the impulse-response table header so the engine and its data stay together. */
static uint32_t qf_engine_warmup(uint32_t salt)
{
    uint32_t h = salt;
    for (int i = 0; i < 32; ++i)
        h = (h ^ qf_ir_table[i]) * 16777619u;
    return %(seed_fn)s(h);
}
"""


def first_callable_in_unit0():
    """Index of the first uint32_t(uint32_t) function of pool unit 0 (the entry file calls it)."""
    r = Rng(POOL_SEED)
    calls = []
    for i in range(POOL_FUNCS):
        _, callable_ = r.pick(POOL_KINDS)(r, "qf00_%04x" % i, calls[-40:])
        if callable_:
            return i
    fail("pool unit 0 has no callable function")


def entry_source(fmt):
    src = ENTRY_PRELUDE % {"seed_fn": "qf00_%04x" % first_callable_in_unit0()}
    return src + ENTRY_SOURCES[fmt["key"]]


def version_rc(fmt):
    v = VERSION4
    vtext = "%d.%d.%d.%d" % v
    return """// Version resource of the %(label)s binary.
1 VERSIONINFO
FILEVERSION %(v0)d,%(v1)d,%(v2)d,%(v3)d
PRODUCTVERSION %(v0)d,%(v1)d,%(v2)d,%(v3)d
FILEFLAGSMASK 0x3fL
FILEFLAGS 0x0L
FILEOS 0x40004L
FILETYPE 0x2L
FILESUBTYPE 0x0L
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040904b0"
        BEGIN
            VALUE "CompanyName", "%(vendor)s"
            VALUE "FileDescription", "%(desc)s"
            VALUE "FileVersion", "%(vtext)s"
            VALUE "InternalName", "%(product)s"
            VALUE "LegalCopyright", "Copyright (C) 2026 %(vendor)s"
            VALUE "OriginalFilename", "%(orig)s"
            VALUE "ProductName", "%(product)s"
            VALUE "ProductVersion", "%(vtext)s"
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", 0x409, 1200
    END
END
""" % {"label": fmt["label"], "v0": v[0], "v1": v[1], "v2": v[2], "v3": v[3], "vendor": VENDOR,
       "desc": fmt["description"], "vtext": vtext, "product": PRODUCT, "orig": fmt["original"]}


def table_asm(size):
    # Placeholder: header with the magic, the rest zero. The samples are written into the linked file.
    return """    .section .rdata,"dr"
    .globl qf_ir_table
    .p2align 4
qf_ir_table:
    .ascii "%s"
    .zero %d
""" % (IR_MAGIC.decode(), size - len(IR_MAGIC))


def link_dll(fmt, pool_objs, table_size):
    d = os.path.join(WORK, fmt["key"])
    entry_c = os.path.join(d, "entry.c")
    entry_o = os.path.join(d, "entry.o")
    rc = os.path.join(d, "version.rc")
    res_o = os.path.join(d, "version_res.o")
    tab_s = os.path.join(d, "ir_table.s")
    tab_o = os.path.join(d, "ir_table.o")
    dll = os.path.join(d, "linked.dll")
    if write_if_changed(entry_c, entry_source(fmt)) or not os.path.exists(entry_o):
        run(["nice", "-n", "10", CC, "-O2", "-fno-ident", "-Wall", "-c", entry_c, "-o", entry_o])
    if write_if_changed(rc, version_rc(fmt)) or not os.path.exists(res_o):
        run([WINDRES, "-O", "coff", "-i", rc, "-o", res_o])
    write_if_changed(tab_s, table_asm(table_size))
    run([CC, "-c", tab_s, "-o", tab_o])
    run(["nice", "-n", "10", CC, "-shared", "-s", "-static-libgcc", "-o", dll, entry_o]
        + pool_objs[:fmt["units"]] + [tab_o, res_o,
        "-Wl,--no-insert-timestamp", "-Wl,--subsystem,windows", "-Wl,--dynamicbase", "-Wl,--nxcompat", "-Wl,--high-entropy-va"])
    with open(dll, "rb") as f:
        return f.read()


def pe_info(data):
    """Checks the PE headers and returns (sections, checksum offset, version info dict)."""
    if data[:2] != b"MZ":
        fail("not an MZ file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        fail("no PE signature")
    machine, nsec, _, _, _, opt_size, characteristics = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    if machine != 0x8664 or magic != 0x20B or not characteristics & 0x2000:
        fail("not a PE32+ x86-64 DLL (machine %#x, magic %#x, flags %#x)" % (machine, magic, characteristics))
    checksum_off = opt + 64
    ndirs = struct.unpack_from("<I", data, opt + 108)[0]
    dirs = [struct.unpack_from("<II", data, opt + 112 + 8 * i) for i in range(ndirs)]
    sections = []
    for i in range(nsec):
        o = opt + opt_size + 40 * i
        name = data[o:o + 8].rstrip(b"\0").decode("ascii", "replace")
        vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, o + 8)
        sections.append((name, va, vsize, rawptr, rawsize))

    def rva_to_off(rva):
        for _, va, vsize, rawptr, rawsize in sections:
            if va <= rva < va + max(vsize, rawsize):
                return rawptr + rva - va
        fail("RVA %#x outside the sections" % rva)

    res_rva = dirs[2][0] if ndirs > 2 else 0
    if not res_rva:
        fail("no resource directory")
    res_base = rva_to_off(res_rva)

    def entries(dir_off):
        n_named, n_id = struct.unpack_from("<HH", data, dir_off + 12)
        for i in range(n_named + n_id):
            ident, target = struct.unpack_from("<II", data, dir_off + 16 + 8 * i)
            yield ident, target

    version_leaf = None
    for ident, target in entries(res_base):
        if ident == 16 and target & 0x80000000:       # RT_VERSION
            for _, t2 in entries(res_base + (target & 0x7FFFFFFF)):
                for _, t3 in entries(res_base + (t2 & 0x7FFFFFFF)):
                    version_leaf = t3
                    break
                break
    if version_leaf is None or version_leaf & 0x80000000:
        fail("no version resource")
    data_rva, data_size = struct.unpack_from("<II", data, res_base + version_leaf)
    vo = rva_to_off(data_rva)
    block = data[vo:vo + data_size]
    fixed = block.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        fail("version resource without VS_FIXEDFILEINFO")
    fv_ms, fv_ls, pv_ms, pv_ls = struct.unpack_from("<IIII", block, fixed + 8)
    info = {
        "file": (fv_ms >> 16, fv_ms & 0xFFFF, fv_ls >> 16, fv_ls & 0xFFFF),
        "product": (pv_ms >> 16, pv_ms & 0xFFFF, pv_ls >> 16, pv_ls & 0xFFFF),
        "block": block,
    }
    return sections, checksum_off, info


def check_version(data, fmt):
    _, checksum_off, info = pe_info(data)
    if info["file"] != VERSION4 or info["product"] != VERSION4:
        fail("%s: version resource reads %s / %s" % (fmt["key"], info["file"], info["product"]))
    block = info["block"]
    for key, value in (("FileVersion", "3.2.1.0"), ("ProductName", PRODUCT), ("CompanyName", VENDOR)):
        needle = (key + "\0").encode("utf-16-le")
        at = block.find(needle)
        if at < 0:
            fail("%s: version string %s missing" % (fmt["key"], key))
        at += len(needle)
        at += (-at) % 4                            # the value starts 32-bit aligned
        end = at
        while end + 1 < len(block) and block[end:end + 2] != b"\0\0":
            end += 2
        got = block[at:end].decode("utf-16-le")
        if got != value:
            fail("%s: version string %s is %r" % (fmt["key"], key, got))
    return checksum_off


class IrTuner:
    """Fills the impulse-response table so the whole file deflates to an exact length.

    The table holds a mono 16-bit decaying-noise impulse response: `frames` samples of
    exponentially decaying noise, then a dither tail of `tail` samples of +-1 LSB, then zero.
    Longer responses compress to more bytes; the tail adds a fraction of a byte per sample,
    which makes an exact length reachable.
    """

    def __init__(self, data, table_off, table_size, seed):
        self.size = table_size
        self.max_samples = (table_size - IR_HEADER) // 2
        r = Rng(seed)
        tau = self.max_samples / 1.6
        noise = array.array("h", bytes(2 * self.max_samples))
        for i in range(self.max_samples):
            v = int(round(r.gauss() * 9000.0 * math.exp(-i / tau)))
            noise[i] = max(-32767, min(32767, v))
        self.noise = noise.tobytes() if sys.byteorder == "little" else self._swap(noise)
        dither = array.array("h", [r.pick((-1, 0, 1, 1, -1)) for _ in range(4096)])
        self.dither = dither.tobytes() if sys.byteorder == "little" else self._swap(dither)
        self.word_sum = word_sum(data[table_off:table_off + table_size]) % 0xFFFF
        self.comp = zlib.compressobj(9, zlib.DEFLATED, -15)
        self.head_len = len(self.comp.compress(data[:table_off]))
        self.tail_data = data[table_off + table_size:]
        self.trials = 0

    @staticmethod
    def _swap(arr):
        arr = array.array("h", arr)
        arr.byteswap()
        return arr.tobytes()

    def table(self, frames, tail):
        head = IR_MAGIC + struct.pack("<IHHII", 48000, 1, 16, frames + tail, frames) + bytes(6)
        body = self.noise[:2 * frames] + self.dither[:2 * tail]
        rest = bytes(self.size - IR_HEADER - len(body))
        # The last header word balances the table's 16-bit word sum, so the PE checksum the
        # header carries stays right whatever the response's length.
        balance = (self.word_sum - word_sum(head) - word_sum(body)) % 0xFFFF
        return head + struct.pack("<H", balance) + body + rest

    def csize(self, frames, tail):
        self.trials += 1
        c = self.comp.copy()
        rest = c.compress(self.table(frames, tail)) + c.compress(self.tail_data) + c.flush()
        return self.head_len + len(rest)

    def tune(self, target):
        lo, hi = 0, self.max_samples - 4096
        if self.csize(lo, 0) > target:
            fail("code alone deflates past the target; link fewer pool units")
        if self.csize(hi, 0) < target:
            fail("a full impulse response stays below the target; link more pool units")
        while hi - lo > 1:
            mid = (lo + hi) // 2
            if self.csize(mid, 0) <= target:
                lo = mid
            else:
                hi = mid
        for frames in range(lo, max(lo - 64, 0), -1):
            for tail in range(0, 4096):
                s = self.csize(frames, tail)
                if s == target:
                    return frames, tail
                if s > target + 4:
                    break
        fail("no impulse-response length reaches the exact compressed size")


def word_sum(data):
    """Plain sum of the little-endian 16-bit words of an even-length byte string."""
    words = array.array("H", data)
    if sys.byteorder != "little":
        words.byteswap()
    return sum(words)


def pe_checksum(data, checksum_off):
    """The PE image checksum: folded 16-bit word sum (checksum field as zero) plus the length."""
    body = data[:checksum_off] + bytes(4) + data[checksum_off + 4:]
    if len(body) % 2:
        body += b"\0"
    total = word_sum(body)
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def build_dll(fmt, pool_objs, dll_csize_target):
    d = os.path.join(WORK, fmt["key"])
    os.makedirs(d, exist_ok=True)
    target = fmt["dll_size"]
    trailer_len = target % 512
    if trailer_len < 64:
        trailer_len += 512
    pe_target = target - trailer_len
    # First link with a small table to learn the code's size, then size the table to fill.
    table_size = IR_MIN_BYTES
    data = link_dll(fmt, pool_objs, table_size)
    for _ in range(6):
        if len(data) == pe_target:
            break
        table_size += pe_target - len(data)
        if table_size < IR_MIN_BYTES:
            fail("%s: the code is too large for its size (%d bytes linked)" % (fmt["key"], len(data)))
        data = link_dll(fmt, pool_objs, table_size)
    if len(data) != pe_target:
        fail("%s: linked size %d, wanted %d" % (fmt["key"], len(data), pe_target))
    checksum_off = check_version(data, fmt)
    if struct.unpack_from("<I", data, checksum_off)[0] != pe_checksum(data, checksum_off):
        fail("%s: the linker's PE checksum differs from ours" % fmt["key"])
    if table_off_of(data) % 2:
        fail("%s: impulse-response table at an odd offset" % fmt["key"])
    if data.count(IR_MAGIC) != 1:
        fail("%s: impulse-response table not found exactly once" % fmt["key"])
    table_off = data.find(IR_MAGIC)
    trailer = build_trailer(fmt, trailer_len)
    full = data + trailer
    full = full[:checksum_off] + struct.pack("<I", pe_checksum(full, checksum_off)) + full[checksum_off + 4:]
    tuner = IrTuner(full, table_off, table_size, fmt["seed"])
    frames, tail = tuner.tune(dll_csize_target)
    final = full[:table_off] + tuner.table(frames, tail) + full[table_off + table_size:]
    if len(final) != target:
        fail("%s: final size %d" % (fmt["key"], len(final)))
    check_version(final, fmt)
    if struct.unpack_from("<I", final, checksum_off)[0] != pe_checksum(final, checksum_off):
        fail("%s: PE checksum wrong after the table was filled" % fmt["key"])
    if len(deflate(final)) != dll_csize_target:
        fail("%s: deflates to %d bytes in one pass, tuned for %d" % (fmt["key"], len(deflate(final)), dll_csize_target))
    log("%s: %d bytes, table %d bytes, impulse response %d + %d samples, %d trials"
        % (fmt["key"], len(final), table_size, frames, tail, tuner.trials))
    with open(os.path.join(d, fmt["original"]), "wb") as f:
        f.write(final)
    return final


def table_off_of(data):
    return data.find(IR_MAGIC)


def build_trailer(fmt, length):
    text = ("QFBUILD\n"
            "product=%s\nversion=%d.%d.%d.%d\nformat=%s\nvendor=%s\nbuilt=2026-05-28\n"
            % ((PRODUCT,) + VERSION4 + (fmt["label"], VENDOR))).encode("ascii")
    if len(text) > length:
        fail("trailer text longer than %d bytes" % length)
    return text + bytes(length - len(text))


# ---------------------------------------------------------------------------------------------
# Bundle furniture: desktop.ini, Plugin.ico, moduleinfo.json.

def desktop_ini():
    data = b"[.ShellClassInfo]\r\nIconResource=Plugin.ico,0\r\nIconFile=Plugin.ico\r\nIconIndex=0\r\n"
    if len(data) != DESKTOP_INI_SIZE:
        fail("desktop.ini is %d bytes" % len(data))
    return data


def wave_cover(px, py, s, amp0, phase, stroke):
    """Coverage of a round-ended stroke along a decaying sine across the inner 76 % of the icon."""
    x0, span, cy = 0.12 * s, 0.76 * s, 0.5 * s
    u = (px - x0) / span
    if u < -0.1 or u > 1.1:
        return 0.0
    uc = min(1.0, max(0.0, u))
    k = 2.0 * math.pi * 2.5
    env = amp0 * s * math.exp(-2.2 * uc)
    fy = cy - env * math.sin(k * uc + phase)
    if u != uc:
        dist = math.hypot(px - (x0 + uc * span), py - fy)
    else:
        slope = -env * (-2.2 * math.sin(k * uc + phase) + k * math.cos(k * uc + phase)) / span
        dist = abs(py - fy) / math.sqrt(1.0 + slope * slope)
    return min(1.0, max(0.0, 0.5 * stroke - dist + 0.5))


def render_icon(size):
    """RGBA rows (top first) of the bundle icon: a blue rounded square with a white decaying
    wave and a fainter echo of it."""
    s = float(size)
    radius = 0.2 * s
    half = 0.5 * s - 0.5 * max(1.0, s / 64.0)     # a hairline of transparent margin
    stroke = max(1.1, 0.055 * s)
    base = (40, 130, 220)
    rows = []
    for y in range(size):
        row = bytearray(4 * size)
        py = y + 0.5
        for x in range(size):
            px = x + 0.5
            qx = abs(px - 0.5 * s) - (half - radius)
            qy = abs(py - 0.5 * s) - (half - radius)
            outside = math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - radius
            cover = min(1.0, max(0.0, 0.5 - outside))
            if cover <= 0.0:
                continue
            echo = 0.4 * wave_cover(px, py, s, 0.17, -0.9, 0.6 * stroke)
            main = wave_cover(px, py, s, 0.26, 0.0, stroke)
            w = 1.0 - (1.0 - echo) * (1.0 - main)
            rgb = [c + (255 - c) * w for c in base]
            o = 4 * x
            row[o:o + 4] = bytes((int(rgb[0] + 0.5), int(rgb[1] + 0.5), int(rgb[2] + 0.5), int(255 * cover + 0.5)))
        rows.append(bytes(row))
    return rows


def dib_entry(size):
    rows = render_icon(size)
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):                    # bottom-up, BGRA
        for x in range(size):
            r_, g_, b_, a_ = row[4 * x:4 * x + 4]
            pixels += bytes((b_, g_, r_, a_))
        bits = bytearray(mask_stride)
        for x in range(size):
            if row[4 * x + 3] == 0:
                bits[x >> 3] |= 0x80 >> (x & 7)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def png_chunk(kind, payload):
    return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload) & 0xFFFFFFFF)


def png_entry(size, total):
    rows = render_icon(size)
    # Filter type 0 on every row: the flat fill repeats within rows, which deflate takes best.
    raw = b"".join(b"\0" + row for row in rows)
    ihdr = png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    idat = png_chunk(b"IDAT", zlib.compress(raw, 9))
    iend = png_chunk(b"IEND", b"")
    sig = b"\x89PNG\r\n\x1a\n"
    fixed = len(sig) + len(ihdr) + len(idat) + len(iend)
    # A descriptive text chunk, blank-padded so the image has its shipped length.
    room = total - fixed - 12 - len(b"Comment\0")
    note = ("%s bundle folder icon, %d x %d RGBA: a blue rounded square with a white decaying "
            "wave and its echo. (c) 2026 %s." % (PRODUCT, size, size, VENDOR)).encode("ascii")
    if room < len(note):
        fail("%d px icon image is %d bytes without its note; it has %d" % (size, fixed, total))
    text = note + b" " * (room - len(note))
    return sig + ihdr + png_chunk(b"tEXt", b"Comment\0" + text) + idat + iend


def plugin_ico():
    small = [(s, dib_entry(s)) for s in (16, 32, 48)]
    head_len = 6 + 16 * 4
    png_len = ICO_SIZE - head_len - sum(len(b) for _, b in small)
    images = small + [(256, png_entry(256, png_len))]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = head_len
    for s, blob in images:
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, blob in images:
        out += blob
    if len(out) != ICO_SIZE:
        fail("Plugin.ico is %d bytes" % len(out))
    return bytes(out)


def moduleinfo_json():
    info = {
        "Name": PRODUCT,
        "Version": VERSION_TEXT,
        "Factory Info": {
            "Vendor": VENDOR,
            "URL": MAKER_URL,
            "E-Mail": MAKER_MAIL,
            "Flags": {"Unicode": True, "Classes Discardable": False, "Component Non Discardable": False},
        },
        "Compatibility": [],
        "Classes": [
            {
                "CID": "6A1F3C9E52B84D07A3E19B5C2D7F4E81",
                "Category": "Audio Module Class",
                "Name": PRODUCT,
                "Vendor": VENDOR,
                "Version": VERSION_TEXT,
                "SDKVersion": "VST 3.7.9",
                "Sub Categories": ["Fx", "Delay"],
                "Class Flags": 1,
                "Cardinality": 2147483647,
                "Snapshots": [],
            },
            {
                "CID": "C43B0E7D19F2468AB85D3A06E9C17F52",
                "Category": "Component Controller Class",
                "Name": PRODUCT,
                "Vendor": VENDOR,
                "Version": VERSION_TEXT,
                "SDKVersion": "VST 3.7.9",
                "Sub Categories": [],
                "Class Flags": 0,
                "Cardinality": 2147483647,
                "Snapshots": [],
            },
        ],
    }
    text = json.dumps(info, indent=2, ensure_ascii=True).replace("\n", "\r\n") + "\r\n"
    data = text.encode("ascii")
    if len(data) != MODULEINFO_SIZE:
        fail("moduleinfo.json is %d bytes" % len(data))
    return data


# ---------------------------------------------------------------------------------------------
# Zip writing: backslash names, MS-DOS host, fixed date, no data descriptors, no comment.

def zip_entries_layout(entries):
    """entries: list of (name, data or None for a folder). Returns the per-entry records."""
    recs = []
    for name, data in entries:
        raw = name.encode("ascii")
        if data is None:
            if not name.endswith("\\"):
                fail("folder entry %r must end in a backslash" % name)
            recs.append({"name": raw, "method": 0, "crc": 0, "comp": b"", "usize": 0, "attr": 0x10})
        else:
            recs.append({"name": raw, "method": 8, "crc": zlib.crc32(data) & 0xFFFFFFFF,
                         "comp": deflate(data), "usize": len(data), "attr": 0x20})
    return recs


def zip_bytes(recs):
    out = bytearray()
    central = bytearray()
    for rec in recs:
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, rec["method"], DOS_TIME, DOS_DATE,
                           rec["crc"], len(rec["comp"]), rec["usize"], len(rec["name"]), 0)
        out += rec["name"] + rec["comp"]
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, rec["method"], DOS_TIME,
                               DOS_DATE, rec["crc"], len(rec["comp"]), rec["usize"], len(rec["name"]),
                               0, 0, 0, 0, rec["attr"], offset)
        central += rec["name"]
    cd_offset = len(out)
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(recs), len(recs), len(central), cd_offset, 0)
    return bytes(out)


def zip_overhead(names):
    return sum(30 + 46 + 2 * len(n) for n in names) + 22


def check_zip(path, expected):
    """Reads the archive back with zipfile and checks names, sizes, methods and contents."""
    import zipfile
    with zipfile.ZipFile(path) as z:
        infos = z.infolist()
        if [i.filename for i in infos] != [n for n, _ in expected]:
            fail("%s: entry names %r" % (path, [i.filename for i in infos]))
        bad = z.testzip()
        if bad is not None:
            fail("%s: entry %s fails its CRC" % (path, bad))
        for info, (name, data) in zip(infos, expected):
            if info.date_time != (2026, 5, 28, 12, 0, 0) or info.create_system != 0:
                fail("%s: %s has date %s, host %d" % (path, name, info.date_time, info.create_system))
            if data is None:
                if info.compress_type != 0 or info.file_size or info.CRC or info.external_attr != 0x10:
                    fail("%s: folder entry %s malformed" % (path, name))
            else:
                if info.compress_type != 8 or info.external_attr != 0x20 or z.read(info) != data:
                    fail("%s: file entry %s malformed" % (path, name))
        if z.comment:
            fail("%s: has a comment" % path)


def main(argv):
    clean = "--clean" in argv
    t0 = time.time()
    os.makedirs(WORK, exist_ok=True)
    os.makedirs(OUT, exist_ok=True)
    for tool in (CC, WINDRES):
        if shutil.which(tool) is None:
            fail("%s not found (tools/make_payloads.sh installs it)" % tool)

    ini = desktop_ini()
    ico = plugin_ico()
    modinfo = moduleinfo_json()
    log("bundle files: desktop.ini %d, Plugin.ico %d, moduleinfo.json %d bytes" % (len(ini), len(ico), len(modinfo)))

    pool = build_pool(clean)
    log("pool ready after %.1f s" % (time.time() - t0))

    for fmt in FORMATS:
        entries = []
        b = fmt["bundle"]
        if b:
            entries.append((b + "\\Contents\\", None))
            entries.append((b + "\\desktop.ini", ini))
            entries.append((b + "\\Plugin.ico", ico))
            if fmt["key"] == "vst3":
                entries.append((b + "\\Contents\\Resources\\moduleinfo.json", modinfo))
        names = [n for n, _ in entries] + [fmt["dll_entry"]]
        fixed_comp = sum(len(deflate(d)) for _, d in entries if d is not None)
        dll_csize = fmt["zip_size"] - zip_overhead([n.encode() for n in names]) - fixed_comp
        dll = build_dll(fmt, pool, dll_csize)
        entries.append((fmt["dll_entry"], dll))
        data = zip_bytes(zip_entries_layout(entries))
        if len(data) != fmt["zip_size"]:
            fail("%s.zip is %d bytes, wanted %d" % (fmt["key"], len(data), fmt["zip_size"]))
        path = os.path.join(OUT, fmt["bundle"] or fmt["dll_entry"]) + ".zip"
        with open(path, "wb") as f:
            f.write(data)
        check_zip(path, entries)
        log("%s.zip: %d bytes, DLL deflate ratio %.4f" % (fmt["key"], len(data), dll_csize / len(dll)))
    log("done in %.1f s" % (time.time() - t0))


if __name__ == "__main__":
    main(sys.argv[1:])

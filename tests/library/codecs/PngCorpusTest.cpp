// The PNG reader against a corpus written by an independent encoder (a few
// lines of Python over zlib) and checked by an independent decoder (PIL):
// every colour type and bit depth, Adam7, tRNS, odd sizes. Each file comes
// with the RGBA pixels it stands for; ours must match them exactly, the
// alpha plane included. Skipped where python3 with PIL is missing.

#include "codecs/PngFile.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Writes NAME.png and NAME.rgba (the expected 8-bit RGBA) for every case
// and lists the names in cases.txt. 16-bit samples become their high byte,
// low depths are scaled to 0-255; a tRNS colour gives alpha 0.
constexpr const char* kGenerateur = R"PY(
import struct, sys, zlib, os
from PIL import Image
out = sys.argv[1]
def chunk(t, d):
    c = t + d
    return struct.pack('>I', len(d)) + c + struct.pack('>I', zlib.crc32(c) & 0xffffffff)
ADAM7 = [(0,0,8,8),(4,0,8,8),(0,4,4,8),(2,0,4,4),(0,2,2,4),(1,0,2,2),(0,1,1,2)]
def pack(samples, depth):
    if depth == 16:
        return b''.join(struct.pack('>H', s) for s in samples)
    if depth == 8:
        return bytes(samples)
    per = 8 // depth; res = bytearray()
    for i in range(0, len(samples), per):
        b = 0
        for j in range(per):
            s = samples[i + j] if i + j < len(samples) else 0
            b |= s << (8 - depth * (j + 1))
        res.append(b)
    return bytes(res)
def rows(pix, w, h, ch, depth, interlace):
    raw = bytearray()
    passes = ADAM7 if interlace else [(0,0,1,1)]
    for (x0, y0, dx, dy) in passes:
        xs = range(x0, w, dx); ys = range(y0, h, dy)
        if not xs or not ys: continue
        for y in ys:
            line = []
            for x in xs: line += pix[y][x]
            raw += b'\x00' + pack(line, depth)
    return bytes(raw)
def scale(v, depth):
    if depth == 16: return v >> 8
    return v * 255 // ((1 << depth) - 1)
CT = {'g':0, 'rgb':2, 'p':3, 'ga':4, 'rgba':6}
CH = {'g':1, 'rgb':3, 'p':1, 'ga':2, 'rgba':4}
names = []
seed = [12345]
def rnd(n):
    seed[0] = (seed[0] * 1103515245 + 12345) & 0x7fffffff
    return (seed[0] >> 8) % n
for kind, depths in [('g',[1,2,4,8,16]),('rgb',[8,16]),('p',[1,2,4,8]),('ga',[8,16]),('rgba',[8,16])]:
  for depth in depths:
    for trns in ([False, True] if kind in ('g','rgb','p') else [False]):
      for interlace in (0, 1):
        for (w, h) in [(1,1),(3,5),(257,3),(9,17)]:
          top = (1 << depth) - 1
          ncol = min(top + 1, 40) if kind == 'p' else 0
          pal = [(rnd(256), rnd(256), rnd(256)) for _ in range(ncol)]
          pix = [[[rnd(ncol) if kind == 'p' else rnd(top + 1) for _ in range(CH[kind])] for x in range(w)] for y in range(h)]
          key = pix[0][0][:]
          if kind == 'p': tr = [rnd(256) for _ in range(ncol // 2)]
          exp = bytearray()
          for y in range(h):
            for x in range(w):
              s = pix[y][x]
              if kind == 'p':
                r, g, b = pal[s[0]]; a = tr[s[0]] if trns and s[0] < len(tr) else 255
              elif kind in ('g', 'ga'):
                r = g = b = scale(s[0], depth)
                a = scale(s[1], depth) if kind == 'ga' else (0 if trns and s == key else 255)
              else:
                r, g, b = (scale(v, depth) for v in s[:3])
                a = scale(s[3], depth) if kind == 'rgba' else (0 if trns and s == key else 255)
              exp += bytes((r, g, b, a))
          data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, depth, CT[kind], 0, 0, interlace))
          data += chunk(b'gAMA', struct.pack('>I', 45455))
          if kind == 'p':
            data += chunk(b'PLTE', b''.join(bytes(c) for c in pal))
            if trns: data += chunk(b'tRNS', bytes(tr))
          elif trns:
            data += chunk(b'tRNS', b''.join(struct.pack('>H', v) for v in key))
          z = zlib.compress(rows(pix, w, h, CH[kind], depth, interlace))
          data += chunk(b'IDAT', z[:len(z)//2]) + chunk(b'IDAT', z[len(z)//2:]) + chunk(b'IEND', b'')
          name = '%s%d%s%s_%dx%d' % (kind, depth, '_trns' if trns else '', '_adam7' if interlace else '', w, h)
          open(os.path.join(out, name + '.png'), 'wb').write(data)
          open(os.path.join(out, name + '.rgba'), 'wb').write(bytes(exp))
          # The independent decoder must see the same pixels. PIL keeps
          # 16-bit grey as integers (left out) and ignores tRNS below 8 bits
          # of grey and at 16 bits (colours only compared there).
          if not (kind in ('g', 'ga') and depth == 16):
            got = Image.open(os.path.join(out, name + '.png')).convert('RGBA').tobytes()
            colours = trns and (depth == 16 or (kind == 'g' and depth < 8))
            same = all(got[i] == exp[i] for i in range(len(exp)) if i % 4 != 3) if colours else got == bytes(exp)
            if not same: sys.exit('PIL reads %s differently' % name)
          names.append(name)
open(os.path.join(out, 'cases.txt'), 'w').write('\n'.join(names) + '\n')
)PY";

class PngCorpus : public testing::Test {
protected:
    void SetUp() override
    {
        if (!TestImages::HaveTool(kPython) || TestImages::RunCommand(std::string(kPython) + " -c 'import PIL'") != 0)
            GTEST_SKIP() << "python3 with PIL is not installed";
    }
    TestImages::Sandbox box;
};

TEST_F(PngCorpus, EveryColourTypeDepthAndInterlaceLoadsExactly)
{
    const std::string script = box.path("corpus.py");
    std::ofstream(script) << kGenerateur;
    ASSERT_EQ(TestImages::RunCommand(std::string(kPython) + " " + script + " " + box.path("")), 0);
    std::ifstream liste(box.path("cases.txt"));
    std::string nom;
    int cas = 0;
    while (std::getline(liste, nom)) {
        SCOPED_TRACE(nom);
        ++cas;
        const std::vector<std::uint8_t> attendu = TestImages::ReadFile(box.path(nom + ".rgba"));
        std::vector<std::uint8_t> alpha;
        HBITMAP image = PngFile::Charge(box.path(nom + ".png"), &alpha);
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->bitsPerPixel(), 32);
        const std::size_t pixels = std::size_t(image->width()) * image->height();
        ASSERT_EQ(attendu.size(), pixels * 4);
        bool opaque = true;
        for (std::size_t i = 0; i < pixels; ++i)
            opaque = opaque && attendu[4 * i + 3] == 0xFF;
        EXPECT_EQ(alpha.empty(), opaque);
        std::string ecart;
        for (std::size_t i = 0; i < pixels && ecart.empty(); ++i) {
            const int x = static_cast<int>(i % image->width()), y = static_cast<int>(i / image->width());
            const BYTE* bgrx = image->row(y) + 4 * x;
            const std::uint8_t a = alpha.empty() ? 0xFF : alpha[i];
            if (bgrx[2] != attendu[4 * i] || bgrx[1] != attendu[4 * i + 1] || bgrx[0] != attendu[4 * i + 2]
                || bgrx[3] != 0 || a != attendu[4 * i + 3])
                ecart = std::to_string(x) + "," + std::to_string(y);
        }
        EXPECT_EQ(ecart, "") << "first difference";
        DeleteObject(image);
    }
    EXPECT_EQ(cas, 208);
}

} // namespace

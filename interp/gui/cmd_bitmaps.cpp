// The bitmap commands: LOADBMP, LOADSIZEDBMP, MLOADBMP, MCOPYBMP,
// MCOPYSIZEDBMP, COPYBMP, COPYSIZEDBMP, SAVEBMP, DRAWEXTBMP and
// DRAWSIZEDEXTBMP, and %BMPX, %BMPY, &BMPCOL.
#include <cstring>
#include <fstream>
#include <vector>

#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "drawing.h"
#include "fnargs.h"
#include "errors.h"
#include "gdi/bitmaps.h"
#include "mainwindow.h"
#include "sysvars.h"
#include "winpath.h"

namespace tilmor {
namespace {

constexpr int kNotLoadable = 228, kNotSaved = 229;

// The raster operation of a mode argument.
DWORD RasterOp(int32_t mode) {
  switch (mode) {
    case 1: return SRCAND;
    case 2: return SRCPAINT;
    case 3: return SRCINVERT;
    case 4: return DSTINVERT;
    default: return SRCCOPY;
  }
}

struct Rect {
  int32_t x, y, w, h;
};
// x,y - w,h and what the separator after it introduces.
Rect ReadRect(Interp& in, char after) {
  Quad q = ReadQuad(in, after);
  return Rect{q.a, q.b, q.c, q.d};
}

// A BMP file with its header and colour table as one BITMAPINFO.
struct BmpFile {
  win::BmpImage bmp;
  std::vector<unsigned char> info;
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

bool ReadBmp(const std::string& name, BmpFile* out) {
  win::BmpImage& bmp = out->bmp;
  if (!win::ReadBmpFile(win::HostPath(name), &bmp)) return false;
  out->info.assign(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * std::max<size_t>(bmp.colors.size(), 1), 0);
  std::memcpy(out->info.data(), &bmp.header, sizeof(BITMAPINFOHEADER));
  if (!bmp.colors.empty())
    std::memcpy(out->info.data() + sizeof(BITMAPINFOHEADER), bmp.colors.data(), sizeof(RGBQUAD) * bmp.colors.size());
  DrawState& d = DS_Draw();
  int bits = bmp.header.biBitCount;
  d.bmpCol = bits >= 31 ? 0x7FFFFFFF : static_cast<int32_t>(1u << bits);
  return true;
}

// A BMP file as a bitmap of the window's kind; 0 when it cannot be read.
HGDIOBJ LoadBmp(const std::string& name) {
  BmpFile file;
  if (!ReadBmp(name, &file)) return 0;
  HGDIOBJ bitmap = CreateDIBitmap(MW().dc, &file.bmp.header, CBM_INIT, file.bmp.bits.data(), file.Info(), DIB_RGB_COLORS);
  if (!bitmap) return 0;
  DrawState& d = DS_Draw();
  BITMAP b;
  if (GetObjectA(bitmap, sizeof b, &b)) {
    d.bmpX = b.bmWidth;
    d.bmpY = b.bmHeight;
  }
  return bitmap;
}

// A BMP file straight onto the printer, in its size or the given one
// (program units); false when it cannot be read.
bool PrintBmp(const std::string& name, int32_t x, int32_t y, int32_t w, int32_t h, bool stretch, DWORD rop) {
  BmpFile file;
  if (!ReadBmp(name, &file)) return false;
  const BITMAPINFOHEADER& hd = file.bmp.header;
  const int32_t bw = hd.biWidth, bh = hd.biHeight < 0 ? -hd.biHeight : hd.biHeight;
  DS_Draw().bmpX = bw;
  DS_Draw().bmpY = bh;
  if (!stretch) w = bw, h = bh;
  StretchDIBits(MW().dc, PageUnits(x), PageUnits(y), PageUnits(w), PageUnits(h), 0, 0, bw, bh, file.bmp.bits.data(),
                file.Info(), DIB_RGB_COLORS, rop);
  return true;
}

// Copies a bitmap into every drawing context, in its size or stretched.
void PutBitmap(HGDIOBJ bitmap, int32_t x, int32_t y, int32_t w, int32_t h, bool stretch, DWORD rop) {
  BITMAP b;
  if (!GetObjectA(bitmap, sizeof b, &b)) return;
  HDC src = CreateCompatibleDC(MW().dc);
  HGDIOBJ old = SelectObject(src, bitmap);
  MainWindowState& m = MW();
  if (!stretch) {
    for (HDC dc : DrawContexts()) BitBlt(dc, x, y, b.bmWidth, b.bmHeight, src, 0, 0, rop);
  } else {
    // Stretched into the window, then the window's pixels into the shadow.
    SetStretchBltMode(m.dc, COLORONCOLOR);
    StretchBlt(m.dc, x, y, w, h, src, 0, 0, b.bmWidth, b.bmHeight, rop);
    if (m.memDc && m.memDc != m.dc) BitBlt(m.memDc, x, y, w, h, m.dc, x, y, SRCCOPY);
  }
  SelectObject(src, old);
  DeleteDC(src);
}

// file$, x, y ; mode
void CmdLoadBmp(Interp& in, int) {
  std::string name = ReadText(in, ',');
  int32_t x = ReadLong(in, ','), y = ReadLong(in, ';');
  int32_t mode = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  if (MW().printing) {
    if (!PrintBmp(name, x, y, 0, 0, false, RasterOp(mode))) RuntimeError(in, kNotLoadable, name);
    return;
  }
  HGDIOBJ bitmap = LoadBmp(name);
  if (!bitmap) return RuntimeError(in, kNotLoadable, name);
  PutBitmap(bitmap, x, y, 0, 0, false, RasterOp(mode));
  DeleteObject(bitmap);
}

// file$, x,y - w,h ; mode
void CmdLoadSizedBmp(Interp& in, int) {
  std::string name = ReadText(in, ',');
  Rect r = ReadRect(in, ';');
  int32_t mode = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  if (MW().printing) {
    if (!PrintBmp(name, r.x, r.y, r.w, r.h, true, RasterOp(mode))) RuntimeError(in, kNotLoadable, name);
    return;
  }
  HGDIOBJ bitmap = LoadBmp(name);
  if (!bitmap) return RuntimeError(in, kNotLoadable, name);
  PutBitmap(bitmap, r.x, r.y, r.w, r.h, true, RasterOp(mode));
  DeleteObject(bitmap);
}

void FreeMemoryBitmap() {
  DrawState& d = DS_Draw();
  if (d.memDc) {
    SelectObject(d.memDc, d.memOld);
    DeleteDC(d.memDc);
  }
  if (d.memBitmap) DeleteObject(d.memBitmap);
  d.memDc = 0;
  d.memBitmap = d.memOld = 0;
}

void CmdMLoadBmp(Interp& in, int) {
  std::string name = ReadText(in, ' ');
  if (RefusedWhilePrinting(in, "MLOADBMP") || !RequireWindow(in)) return;
  FreeMemoryBitmap();
  HGDIOBJ bitmap = LoadBmp(name);
  if (!bitmap) return RuntimeError(in, kNotLoadable, name);
  DrawState& d = DS_Draw();
  d.memDc = CreateCompatibleDC(MW().dc);
  SetStretchBltMode(d.memDc, COLORONCOLOR);
  d.memBitmap = bitmap;
  d.memOld = SelectObject(d.memDc, bitmap);
}

enum class From { Memory, Self };

// x1,y1 - w1,h1 > x2,y2 [- w2,h2] ; mode: a block of the memory bitmap, or
// of each drawing context itself, into every drawing context.
void CopyBlock(Interp& in, From source, bool stretch) {
  Rect from = ReadRect(in, '>');
  Rect to{0, 0, from.w, from.h};
  if (stretch) {
    to = ReadRect(in, ';');
  } else {
    to.x = ReadLong(in, ',');
    to.y = ReadLong(in, ';');
  }
  DWORD rop = RasterOp(ReadLong(in, ' '));
  if (!RequireWindow(in)) return;
  HDC memory = DS_Draw().memDc;
  if (source == From::Memory && !memory) return;  // nothing loaded to copy from
  for (HDC dc : DrawContexts()) {
    HDC s = source == From::Memory ? memory : dc;
    if (stretch) {
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, to.x, to.y, to.w, to.h, s, from.x, from.y, from.w, from.h, rop);
    } else {
      BitBlt(dc, to.x, to.y, to.w, to.h, s, from.x, from.y, rop);
    }
  }
}

template <bool Stretch>
void CmdMCopy(Interp& in, int) {
  if (RefusedWhilePrinting(in, Stretch ? "MCOPYSIZEDBMP" : "MCOPYBMP")) return;
  CopyBlock(in, From::Memory, Stretch);
}

template <bool Stretch>
void CmdCopy(Interp& in, int) {
  if (RefusedWhilePrinting(in, Stretch ? "COPYSIZEDBMP" : "COPYBMP")) return;
  CopyBlock(in, From::Self, Stretch);
}

void PutLE(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// file$, x,y - w,h: the block of the shadow bitmap as a BMP file.
void CmdSaveBmp(Interp& in, int) {
  std::string name = ReadText(in, ',');
  Rect r = ReadRect(in, ' ');
  if (RefusedWhilePrinting(in, "SAVEBMP") || !RequireWindow(in)) return;
  MainWindowState& m = MW();
  DrawState& d = DS_Draw();
  d.bmpX = r.w;
  d.bmpY = r.h;
  bool saved = false;
  if (r.w > 0 && r.h > 0 && static_cast<long long>(r.w) * r.h <= win::kMaxDibPixels) {
    HGDIOBJ bitmap = CreateCompatibleBitmap(m.dc, r.w, r.h);
    HDC tmp = CreateCompatibleDC(m.dc);
    HGDIOBJ old = SelectObject(tmp, bitmap);
    BitBlt(tmp, 0, 0, r.w, r.h, m.memDc, r.x, r.y, SRCCOPY);
    SelectObject(tmp, old);
    DeleteDC(tmp);
    uint32_t bits = static_cast<uint32_t>(GetDeviceCaps(m.dc, PLANES) * GetDeviceCaps(m.dc, BITSPIXEL));
    uint32_t table = bits <= 8 ? 4u << bits : 0;
    uint32_t row = ((bits * static_cast<uint32_t>(r.w) + 31) / 32) * 4;
    uint32_t image = row * static_cast<uint32_t>(r.h);
    std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + table + 4);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    *h = BITMAPINFOHEADER{};
    h->biWidth = r.w;
    h->biHeight = r.h;
    h->biBitCount = static_cast<WORD>(bits);
    h->biSizeImage = image;
    std::string pixels(image, '\0');
    if (GetDIBits(m.dc, bitmap, 0, static_cast<UINT>(r.h), pixels.data(), reinterpret_cast<BITMAPINFO*>(info.data()),
                  DIB_RGB_COLORS) > 0) {
      std::string file = "BM";
      PutLE(file, table + image + 58, 4);
      PutLE(file, 0, 4);
      PutLE(file, table + 58, 4);
      // The header as the file has it, whatever GetDIBits put into ours.
      for (uint32_t v : {40u, static_cast<uint32_t>(r.w), static_cast<uint32_t>(r.h)}) PutLE(file, v, 4);
      PutLE(file, 1, 2);
      PutLE(file, bits, 2);
      PutLE(file, 0, 4);
      PutLE(file, image, 4);
      for (int i = 0; i < 4; ++i) PutLE(file, 0, 4);
      file.append(reinterpret_cast<const char*>(info.data()) + sizeof(BITMAPINFOHEADER), table);
      PutLE(file, 0, 4);
      file += pixels;
      std::ofstream out(win::HostPath(name), std::ios::binary | std::ios::trunc);
      out.write(file.data(), static_cast<std::streamsize>(file.size()));
      saved = static_cast<bool>(out);
    }
    DeleteObject(bitmap);
  }
  if (!saved) RuntimeError(in, kNotSaved, name);
}

// instance, name, x, y [- w, h] ; mode
template <bool Stretch>
void CmdDrawExtBmp(Interp& in, int) {
  HINSTANCE instance = ReadLong(in, ',');
  std::string name = ReadText(in, ',');
  Rect r{0, 0, 0, 0};
  if (Stretch) {
    r = ReadRect(in, ';');
  } else {
    r.x = ReadLong(in, ',');
    r.y = ReadLong(in, ';');
  }
  int32_t mode = ReadLong(in, ' ');
  if (RefusedWhilePrinting(in, Stretch ? "DRAWSIZEDEXTBMP" : "DRAWEXTBMP") || !RequireWindow(in)) return;
  HGDIOBJ bitmap = LoadBitmapA(instance, ResourceName(name));
  if (!bitmap) return RuntimeError(in, kNotLoadable, name);
  PutBitmap(bitmap, r.x, r.y, r.w, r.h, Stretch, RasterOp(mode));
  DeleteObject(bitmap);
}

}  // namespace

void RegisterBitmapCommands() {
  RegisterCommand("LOADBMP", CmdLoadBmp);
  RegisterCommand("LOADSIZEDBMP", CmdLoadSizedBmp);
  RegisterCommand("MLOADBMP", CmdMLoadBmp);
  RegisterCommand("MCOPYBMP", CmdMCopy<false>);
  RegisterCommand("MCOPYSIZEDBMP", CmdMCopy<true>);
  RegisterCommand("COPYBMP", CmdCopy<false>);
  RegisterCommand("COPYSIZEDBMP", CmdCopy<true>);
  RegisterCommand("SAVEBMP", CmdSaveBmp);
  RegisterCommand("DRAWEXTBMP", CmdDrawExtBmp<false>);
  RegisterCommand("DRAWSIZEDEXTBMP", CmdDrawExtBmp<true>);
  RegisterSystemVariable("%BMPX", [](Interp& in) { in.res.ival = DS_Draw().bmpX; });
  RegisterSystemVariable("%BMPY", [](Interp& in) { in.res.ival = DS_Draw().bmpY; });
  RegisterSystemVariable("&BMPCOL", [](Interp& in) { in.res.lval = DS_Draw().bmpCol; });
}

}  // namespace tilmor

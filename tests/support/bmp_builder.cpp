#include "support/bmp_builder.hpp"

namespace korvel::test {

void PutLe16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8 & 0xFF);
}

void PutLe32(std::string& out, std::uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}

std::string Row24(const std::vector<PixelBgra>& pixels) {
  std::string row;
  for (const PixelBgra& p : pixels) {
    row += static_cast<char>(p.blue);
    row += static_cast<char>(p.green);
    row += static_cast<char>(p.red);
  }
  while (row.size() % 4 != 0) row += '\0';
  return row;
}

std::string BmpBuilder::Build() const {
  std::string body;
  body += extraHeader;
  for (const PixelBgra& e : palette) {
    body += static_cast<char>(e.blue);
    body += static_cast<char>(e.green);
    body += static_cast<char>(e.red);
    body += static_cast<char>(e.alpha);
  }
  for (std::uint32_t m : masks) PutLe32(body, m);
  body += gap;
  const std::size_t offBits = 54 + body.size();
  std::string out;
  PutLe16(out, bfType);
  PutLe32(out, static_cast<std::uint32_t>(bfSize >= 0 ? bfSize
                                                      : std::int64_t(offBits + pixelData.size())));
  PutLe16(out, bfReserved1);
  PutLe16(out, bfReserved2);
  PutLe32(out, static_cast<std::uint32_t>(bfOffBits >= 0 ? bfOffBits : std::int64_t(offBits)));
  PutLe32(out, biSize);
  PutLe32(out, static_cast<std::uint32_t>(biWidth));
  PutLe32(out, static_cast<std::uint32_t>(biHeight));
  PutLe16(out, biPlanes);
  PutLe16(out, biBitCount);
  PutLe32(out, biCompression);
  PutLe32(out, biSizeImage);
  PutLe32(out, static_cast<std::uint32_t>(biXPelsPerMeter));
  PutLe32(out, static_cast<std::uint32_t>(biYPelsPerMeter));
  PutLe32(out, biClrUsed);
  PutLe32(out, biClrImportant);
  return out + body + pixelData;
}

}  // namespace korvel::test

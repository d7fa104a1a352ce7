#pragma once
// Turning BMP files as other programs write them into this system's bitmap image layout, so that a
// needle saved by a paint program can be searched for in a capture.
#include <string>

#include "recognition/core/types.hpp"

namespace tamblin::tool {

enum class FileKind {
  SystemLayout,  // "BM" with biSize 44: already this system's layout, left as it is
  Converted,     // a standard BMP (40-byte or longer info header, 24 or 32 bits, uncompressed)
  OtherBytes,    // not a BMP at all: left as it is, for byte searches and for readers to reject
  Unsupported,   // a BMP this system cannot take (other depths, compression, sizes); see error
};

struct LoadedFile {
  FileKind kind = FileKind::OtherBytes;
  ByteArray bytes;    // what the operations get
  std::string error;  // one line, for Unsupported
};

// Never reads outside file and never allocates more than the file's own pixel data; the header's
// claims are checked against the file's length first.
LoadedFile toSystemLayout(ByteView file);

}  // namespace tamblin::tool

#include "core/capture/jpeg_encoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace tornavo {

namespace {

constexpr size_t kChunk = 64 * 1024;

// Destination that grows a QByteArray; the encoder never touches a file.
struct MemoryDestination {
  jpeg_destination_mgr manager;
  QByteArray* out;
};

void InitDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
  dest->out->resize(kChunk);
  dest->manager.next_output_byte = reinterpret_cast<JOCTET*>(dest->out->data());
  dest->manager.free_in_buffer = kChunk;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
  // libjpeg hands the buffer back whole when it calls this.
  const qsizetype used = dest->out->size();
  dest->out->resize(used + static_cast<qsizetype>(kChunk));
  dest->manager.next_output_byte = reinterpret_cast<JOCTET*>(dest->out->data() + used);
  dest->manager.free_in_buffer = kChunk;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
  dest->out->resize(dest->out->size() - static_cast<qsizetype>(dest->manager.free_in_buffer));
}

// libjpeg's default error handler ends the process; this one jumps back to the encoder.
struct ErrorManager {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}

void NoOutputMessage(j_common_ptr) {}

// Kept free of objects with destructors, so that the jump back skips nothing.
bool Compress(const QImage& rgb, int quality, QByteArray* out, ErrorManager* errors) {
  jpeg_compress_struct cinfo;
  MemoryDestination dest;
  cinfo.err = jpeg_std_error(&errors->manager);
  errors->manager.error_exit = ErrorExit;
  errors->manager.output_message = NoOutputMessage;
  if (setjmp(errors->jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  dest.manager.init_destination = InitDestination;
  dest.manager.empty_output_buffer = EmptyOutputBuffer;
  dest.manager.term_destination = TermDestination;
  dest.out = out;
  cinfo.dest = &dest.manager;

  cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
  cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

bool EncodeJpeg(const QImage& picture, int quality, QByteArray* out, QString* error) {
  if (picture.isNull()) {
    if (error) *error = QStringLiteral("No picture to encode.");
    return false;
  }
  const QImage rgb = picture.format() == QImage::Format_RGB888
                         ? picture
                         : picture.convertToFormat(QImage::Format_RGB888);
  QByteArray bytes;
  ErrorManager errors{};
  if (!Compress(rgb, std::clamp(quality, 1, 100), &bytes, &errors)) {
    if (error) *error = QString::fromLocal8Bit(errors.message);
    return false;
  }
  *out = bytes;
  return true;
}

}  // namespace tornavo

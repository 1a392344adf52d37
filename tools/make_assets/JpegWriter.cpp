#include "JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace saberline::assets {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool WriteJpeg(const QImage& image, const QString& path, int quality, QString* error) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.toLocal8Bit().constData(), "wb"));
  if (!file) {
    if (error != nullptr) *error = QStringLiteral("cannot open %1 for writing").arg(path);
    return false;
  }

  jpeg_compress_struct compress{};
  ErrorManager errors{};
  compress.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnJpegError;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_compress(&compress);
    if (error != nullptr) *error = QString::fromLocal8Bit(errors.message);
    return false;
  }

  jpeg_create_compress(&compress);
  jpeg_stdio_dest(&compress, file.get());
  compress.image_width = static_cast<JDIMENSION>(rgb.width());
  compress.image_height = static_cast<JDIMENSION>(rgb.height());
  compress.input_components = 3;
  compress.in_color_space = JCS_RGB;
  jpeg_set_defaults(&compress);
  jpeg_set_quality(&compress, quality, TRUE);
  for (int component = 0; component < compress.num_components; ++component) {
    compress.comp_info[component].h_samp_factor = 1;
    compress.comp_info[component].v_samp_factor = 1;
  }
  compress.optimize_coding = TRUE;
  jpeg_start_compress(&compress, TRUE);
  while (compress.next_scanline < compress.image_height) {
    // libjpeg takes non-const rows but only reads them.
    auto* row = const_cast<JSAMPLE*>(rgb.constScanLine(static_cast<int>(compress.next_scanline)));
    jpeg_write_scanlines(&compress, &row, 1);
  }
  jpeg_finish_compress(&compress);
  jpeg_destroy_compress(&compress);
  if (std::fflush(file.get()) != 0) {
    if (error != nullptr) *error = QStringLiteral("cannot write %1").arg(path);
    return false;
  }
  return true;
}

}  // namespace saberline::assets

#pragma once

namespace tornavo {

// How a captured frame becomes the shown picture.
enum class PictureFormat { kWide16x9, kStandard4x3, kOriginal };

// The picture settings the capture conversion and the picture files read at each use.
struct PictureOptions {
  int capture_width = 720;  // from "Tamaño de la imagen capturada :"
  int capture_height = 576;
  int jpeg_quality = 100;  // 1 ... 100
  PictureFormat format = PictureFormat::kStandard4x3;
};

}  // namespace tornavo

#include "gui/pages/picture_page.h"

namespace tornavo {

PicturePage::PicturePage(AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {}

void PicturePage::ApplyTexts() {}

}  // namespace tornavo

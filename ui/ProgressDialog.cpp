#include "ui/ProgressDialog.h"

WindowOrigin centredOrigin(int32_t screenWidth, int32_t screenHeight,
                           int32_t width, int32_t height) {
  return {screenWidth / 2 - width / 2, screenHeight / 2 - height / 2};
}

#include "ui/tform20.h"

#include <gtest/gtest.h>

#include "ui/offscreen_application.h"

namespace tarvo {
namespace {

TEST(TForm20, PaintsTheGraticuleThenTheSweeps) {
  testing::EnsureOffscreenApplication();
  MainState state;
  EyePattern eye(state);
  TForm20 form(eye, nullptr);
  EXPECT_EQ(form.windowTitle(), "アイパターン表示");
  EXPECT_EQ(form.size(), QSize(185, 154));
  EXPECT_EQ(form.Image1->size(), QSize(180, 150));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  const auto pixel = [&](int x, int y) { return form.Picture().pixel(x, y) & 0xFFFFFF; };
  EXPECT_EQ(pixel(0, 75), kEyeWhite);
  EXPECT_EQ(pixel(90, 0), kEyeWhite);
  EXPECT_EQ(pixel(0, 55), kEyeGray);
  EXPECT_EQ(pixel(0, 135), kEyeYellow);
  EXPECT_EQ(pixel(1, 25), 0u);

  form.show();
  EXPECT_TRUE(eye.IsShowing());
  state.EyeSamples.fill(0.2);  // row 25
  for (int i = 0; i < 512; i += 3) state.EyeStrobes[i] = 1;
  state.EyeSamples[300] = 1e9;  // far outside: drawn off the picture, nothing breaks
  eye.UpdateEyePattern(30);
  EXPECT_EQ(pixel(0, 75), kEyeSilver);
  EXPECT_EQ(pixel(1, 25), kEyeWhite);
  EXPECT_EQ(pixel(179, 25), kEyeWhite);
  form.hide();
  EXPECT_FALSE(eye.IsShowing());
}

}  // namespace
}  // namespace tarvo

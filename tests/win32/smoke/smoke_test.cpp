#include <gtest/gtest.h>
#include <windows.h>
#include "recognition/win32/recognition_object.hpp"
TEST(Smoke, WineRunsWithCodePage936AndAScreen) {
  EXPECT_EQ(GetACP(), 936u);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  tamblin::startRecognition();
  EXPECT_NE(tamblin::recognitionObject(), nullptr);
  tamblin::stopRecognition();
}

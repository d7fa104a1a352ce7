#include "recognition/win32/recognition_object.hpp"

#include "recognition/win32/saved_windows.hpp"

namespace tamblin {

namespace {
识图1类* theRecognitionObject = nullptr;
}  // namespace

void RecognitionObjectRelease::operator()(识图1类* object) const {
  if (object == nullptr) return;
  object->destroy();
  delete object;
}

void 识图1类::destroy() {}

RecognitionObjectPtr 识图1类::clone() { return RecognitionObjectPtr(new 识图1类()); }

识图1类* recognitionObject() { return theRecognitionObject; }

void startRecognition() {
  if (theRecognitionObject == nullptr) theRecognitionObject = new 识图1类();
  createSavedWindows();
}

void stopRecognition() {
  RecognitionObjectRelease()(theRecognitionObject);
  theRecognitionObject = nullptr;
  releaseSavedWindows();
}

}  // namespace tamblin

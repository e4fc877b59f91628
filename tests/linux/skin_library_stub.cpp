// A stand-in for the skin library with its two exports, whose results tell what they were given.
#include <cstring>

extern "C" {

__attribute__((visibility("default"))) int SkinH_AttachRes(const unsigned char* data, int length,
                                                           const char* password, int a, int b,
                                                           int c) {
  int sum = 0;
  for (int i = 0; i < length; ++i) sum += data[i];
  return sum + 1000 * length + 100000 * static_cast<int>(std::strlen(password)) + a + 2 * b + 3 * c;
}

__attribute__((visibility("default"))) int SkinH_SetAero(int enable) { return 10 + enable; }
}

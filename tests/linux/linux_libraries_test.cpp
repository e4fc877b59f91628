// Shared libraries loaded through the dynamic loader: a stand-in skin library by its full path,
// and a bare name that nothing provides.
#include "platform/linux/linux_libraries.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

using AttachRes = int (*)(const unsigned char*, int, const char*, int, int, int);
using SetAero = int (*)(int);

TEST(LinuxLibraries, ALibraryByItsFullPathGivesItsExportsAndNothingElse) {
  LinuxLibraryLoader loader;
  const LibraryHandle library = loader.Load(QEL_SKIN_LIBRARY_STUB);
  ASSERT_NE(library, 0u);
  const auto attach = reinterpret_cast<AttachRes>(loader.Find(library, "SkinH_AttachRes"));
  const auto aero = reinterpret_cast<SetAero>(loader.Find(library, "SkinH_SetAero"));
  ASSERT_NE(attach, nullptr);
  ASSERT_NE(aero, nullptr);
  const unsigned char skin[] = {1, 2, 3};
  EXPECT_EQ(attach(skin, 3, "ab", 4, 5, 6), 6 + 3000 + 200000 + 4 + 10 + 18);
  EXPECT_EQ(attach(nullptr, 0, "", 0, 0, 0), 0);
  EXPECT_EQ(aero(1), 11);
  EXPECT_EQ(loader.Find(library, "SkinH_Detach"), nullptr);
  EXPECT_EQ(loader.Find(0, "SkinH_SetAero"), nullptr);
  loader.Unload(library);
}

TEST(LinuxLibraries, WhatCannotBeLoadedGivesNoLibrary) {
  LinuxLibraryLoader loader;
  EXPECT_EQ(loader.Load("SkinH_EL.dll"), 0u) << "nothing on the search path provides it";
  EXPECT_EQ(loader.Load("/nonexistent/SkinH_EL.dll"), 0u);
  loader.Unload(0);
}

}  // namespace
}  // namespace qel

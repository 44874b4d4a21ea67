// Helpers of the scenario-machine tests: a script runtime with user variables, and scenario
// objects written by the builder into the game folder's SCRIPT folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "novel/scenario/vov_vm.h"
#include "platform/files/host_path.h"
#include "sob_builder.h"
#include "support/sob_test_files.h"
#include "tob_builder.h"

namespace vov_test {

class VovFilesTest : public sob_test::ScriptFilesTest {
 protected:
  // User variables: 0 and 1 value blocks, 2 a pointer variable (its cell points at its own
  // block), 3 a value block of two words.
  void SetUp() override {
    ScriptFilesTest::SetUp();
    kvxtools::UserVarBuilder variables;
    variables.AddVariable(0, 0, 4, {11});
    variables.AddVariable(0, 0, 8, {21, 0, 0, 0, 22});
    variables.AddVariable(1, 0, 8, {31, 0, 0, 0, 32});
    variables.AddVariable(0, 0, 8, {41, 0, 0, 0, 42});
    WriteScriptFile("USER_VAR.SOB", variables.Build());
    runtime_ = std::make_unique<CScriptVm>();
    ASSERT_EQ(runtime_->LoadLibraries(nullptr, "SCRIPT\\USER_VAR.SOB", nullptr, false, false), 0u);
    vm_ = std::make_unique<CVovVM>(*runtime_);
  }

  void WriteTob(const std::string& name, const kvxtools::TobBuilder& builder, std::string_view magic = "TOB1") {
    WriteTobBytes(name, builder.Build(magic));
  }
  void WriteTobBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) { WriteScript(name + ".TOB", bytes); }
  // Writes a file of the SCRIPT folder after the data-file layer may have listed the folder.
  void WriteScript(const std::string& file_name, const std::vector<std::uint8_t>& bytes) {
    WriteScriptFile(file_name, bytes);
    const std::string path = game_.HostPath() + "SCRIPT/" + file_name;
    plat::UpdateListingOf(path);
    plat::UpdateListingOf(path.substr(0, path.rfind('/')));
  }
  // A scenario with labels "A" and "B" and a few bytes of text around them.
  void WriteLabelled(const std::string& name) {
    kvxtools::TobBuilder builder;
    builder.Text("head");
    builder.Label("A");
    builder.Text("aaaa");
    builder.Label("B");
    builder.Text("bbbb");
    WriteTob(name, builder);
  }

  std::uint32_t BodyAddress() const { return vm_->CurrentScript()->BodyAddress(); }

  std::unique_ptr<CScriptVm> runtime_;
  std::unique_ptr<CVovVM> vm_;
};

}  // namespace vov_test

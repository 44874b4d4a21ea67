// The dialog and dropped-file built-ins 73, 74 and 155 to 160 by number over a fake application:
// the parameters handed on, the answers copied into script buffers, the refusals without a
// destination, a choice too long for its buffer, and the answers without an application.
#include "builtins/dialog_builtins.h"

#include <string>

#include "builtin_call.h"
#include "script/script_fault.h"
#include "support/fake_app_services.h"

namespace {

using DialogBuiltinsTest = builtin_test::BuiltinCallTest;

TEST_F(DialogBuiltinsTest, TextInputTakesItsParametersAndCopiesTheEntry) {
  test_support::FakeAppServices app;
  EXPECT_EQ(Call(74, {Text("Name"), Text("Your name?"), 0x101, 0x108, 0, 320, static_cast<std::uint32_t>(-1), 40}), 0u);
  EXPECT_EQ(app.text_input.title, "Name");
  EXPECT_EQ(app.text_input.prompt, "Your name?");
  EXPECT_TRUE(app.text_input.double_byte_only);
  EXPECT_EQ(app.text_input.max_length, 8);
  EXPECT_FALSE(app.text_input.open_ime);
  EXPECT_EQ(app.text_input.width, 320);
  EXPECT_EQ(app.text_input.x, -1);
  const std::uint32_t buffer = Block(64, 'x');
  EXPECT_EQ(Call(73, {buffer}), 1u);
  EXPECT_EQ(memory_.Byte(buffer), 'x');
  app.entered_text = "Alice";
  EXPECT_EQ(Call(73, {0}), 2u);
  EXPECT_EQ(Call(73, {buffer}), 0u);
  EXPECT_EQ(TextAt(buffer), "Alice");
  EXPECT_THROW(Call(73, {0x200}), ScriptFault);
}

TEST_F(DialogBuiltinsTest, FileChoosersWriteThePathTheNameAndTheResultWord) {
  test_support::FakeAppServices app;
  const std::uint32_t file = Text(std::string(255, '\0'));
  memory_.Write(file, "PROPOSED.SAV", 13);
  const std::uint32_t name = Block(256);
  EXPECT_EQ(Call(159, {0, file, 0}), 0u);
  EXPECT_EQ(Call(158, {0, file, name, Text("Saves\t*.SAV\t"), Text("Open"), 0}), 0u);
  EXPECT_EQ(app.asked_file.file, "PROPOSED.SAV");
  EXPECT_EQ(app.asked_file.filter, "Saves\t*.SAV\t");
  EXPECT_EQ(app.asked_file.title, "Open");
  EXPECT_FALSE(app.asked_save);
  app.chosen_file = "Z:\\home\\player\\GAME.SAV";
  EXPECT_EQ(Call(159, {0, file, name, 0, 0, 0}), 1u);
  EXPECT_TRUE(app.asked_save);
  EXPECT_EQ(TextAt(file), app.chosen_file);
  EXPECT_EQ(TextAt(name), "GAME.SAV");
  app.chosen_file = "Z:\\" + std::string(300, 'a');
  EXPECT_EQ(Call(158, {7, file, name, 0, 0, 0}), 0u);
  EXPECT_EQ(TextAt(name), "GAME.SAV");
  // The result also replaces the first argument word.
  const std::uint32_t words = Block(24, 0);
  memory_.SetWord(words + 4, file);
  memory_.SetWord(words + 8, name);
  app.chosen_file = "Z:\\A.SAV";
  EXPECT_EQ(GameBuiltins()[158 - kFirstGameBuiltin].function(NativeArgs(memory_, handles_, words)), 1u);
  EXPECT_EQ(WordAt(words), 1u);
  EXPECT_THROW(Call(158, {0, file, static_cast<std::uint32_t>(memory_.UsableEnd() - 100), 0, 0, 0}), ScriptFault);
}

TEST_F(DialogBuiltinsTest, FolderChooserAddsNothingButWhatItChose) {
  test_support::FakeAppServices app;
  const std::uint32_t folder = Block(260, 'x');
  EXPECT_EQ(Call(160, {0, Text("Where?"), 0, 0}), 0u);
  EXPECT_EQ(Call(160, {0, Text("Where?"), folder, Text("Z:\\home\\")}), 0u);
  EXPECT_EQ(app.asked_file.initial_folder, "Z:\\home\\");
  EXPECT_EQ(memory_.Byte(folder), 'x');
  app.chosen_folder = "Z:\\home\\player\\";
  EXPECT_EQ(Call(160, {0, 0, folder, 0}), 1u);
  EXPECT_EQ(TextAt(folder), app.chosen_folder);
}

TEST_F(DialogBuiltinsTest, DroppedFilesCountAndClear) {
  test_support::FakeAppServices app;
  EXPECT_EQ(Call(155, {1}), 0u);
  EXPECT_EQ(app.dropped.GetAcceptFlag(), 1u);
  EXPECT_EQ(Call(156, {static_cast<std::uint32_t>(-1)}), 0u);
  EXPECT_EQ(Call(156, {0}), 0u);
  EXPECT_EQ(Call(157, {}), 0u);
}

TEST_F(DialogBuiltinsTest, WithoutAnApplicationTheDialogsAnswerAsClosed) {
  const std::uint32_t buffer = Block(260);
  EXPECT_EQ(Call(73, {buffer}), 1u);
  EXPECT_EQ(Call(74, {0, 0, 0, 0, 0, 0, 0, 0}), 0u);
  EXPECT_EQ(Call(158, {5, buffer, buffer, 0, 0, 0}), 0u);
  EXPECT_EQ(Call(160, {5, 0, buffer, 0}), 0u);
  EXPECT_EQ(Call(156, {static_cast<std::uint32_t>(-1)}), 0u);
}

}  // namespace

// Typing for the focused text widget: SDL's text events through the layer's translation into
// the buffer that the widget reads once per frame, and the input method's composition.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/framework/ime_composition.h"
#include "app/framework/text_input_buffer.h"
#include "platform/encoding/text_composition.h"
#include "platform/encoding/text_encoding.h"
#include "platform/events/event_translation.h"
#include "ui/gui/gui_test_support.h"

namespace {

// A widget that records what it is handed.
class Receiver : public gui_test::LoggingElement {
 public:
  Receiver() : LoggingElement("text field", log_) {}
  bool OnKeyDown(uint32_t virtual_key) override {
    keys.push_back(virtual_key);
    return true;
  }
  bool OnChar(const char* text, int32_t length) override {
    texts.emplace_back(text, static_cast<std::size_t>(length));
    return true;
  }
  std::vector<uint32_t> keys;
  std::vector<std::string> texts;

 private:
  std::vector<std::string> log_;
};

// Each UTF-8 text as one SDL_TEXTINPUT event, translated as the window thread does, into the buffer.
void Type(CTextInputBuffer& buffer, const std::vector<std::string>& events) {
  plat::EventTranslator translator;
  for (const std::string& text : events) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, text.c_str(), sizeof event.text.text - 1);
    std::vector<plat::Message> messages;
    translator.Translate(event, plat::EventContext{}, messages);
    for (const plat::Message& message : messages) buffer.AppendCharacter(message.wparam);
  }
}

TEST(TextInputTest, WhatIsTypedBetweenTwoFramesIsHandedOverOnceInWholeCharacters) {
  struct Case {
    const char* name;
    std::vector<std::string> typed;
    std::string delivered;
  };
  const Case cases[] = {
      {"two double-byte characters", {"あ", "い"}, "\x82\xA0\x82\xA2"},
      {"33 single bytes keep the first 32", {std::string(20, 'a'), std::string(13, 'b')},
       std::string(20, 'a') + std::string(12, 'b')},
      {"half-width katakana is one byte, handed over at once", {"ｱ"}, "\xB1"},
      {"a character that does not fit whole is left out", {std::string(31, 'x') + "あ"}, std::string(31, 'x')},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.name);
    CTextInputBuffer buffer;
    Receiver widget;
    Type(buffer, each.typed);
    EXPECT_TRUE(buffer.Deliver(widget));
    EXPECT_FALSE(buffer.Deliver(widget));  // nothing new: nothing handed over again
    ASSERT_EQ(widget.texts.size(), 1u);
    EXPECT_EQ(widget.texts[0], each.delivered);
  }
}

TEST(TextInputTest, TheNextTypingAfterADeliveryStartsAnEmptyBufferAndAKeyGoesFirst) {
  CTextInputBuffer buffer;
  Receiver widget;
  Type(buffer, {"ab"});
  buffer.SetPendingKey(0x0D);
  EXPECT_TRUE(buffer.Deliver(widget));  // the key, alone
  EXPECT_EQ(widget.keys, std::vector<uint32_t>{0x0D});
  EXPECT_TRUE(widget.texts.empty());
  EXPECT_TRUE(buffer.Deliver(widget));
  Type(buffer, {"c"});
  EXPECT_TRUE(buffer.Deliver(widget));
  EXPECT_EQ(widget.texts, (std::vector<std::string>{"ab", "c"}));
  // Clearing (the window unbound) forgets a pending key: it never reaches the next widget.
  buffer.SetPendingKey(0x1B);
  Type(buffer, {"d"});
  buffer.Clear();
  EXPECT_FALSE(buffer.Deliver(widget));
  EXPECT_EQ(widget.keys.size(), 1u);
}

TEST(TextInputTest, ACompositionIsReturnedOnceThenNothingUntilItChanges) {
  plat::EventTranslator translator;
  auto edit = [&translator](const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTEDITING;
    std::strncpy(event.edit.text, utf8, sizeof event.edit.text - 1);
    std::vector<plat::Message> messages;
    translator.Translate(event, plat::EventContext{}, messages);
  };
  CImeComposition composition;
  edit("か");
  const char* first = composition.Update();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::string(first), plat::Utf8ToSjis("か"));
  EXPECT_EQ(composition.Update(), nullptr);
  edit("かん");
  const char* changed = composition.Update();
  ASSERT_NE(changed, nullptr);
  EXPECT_EQ(std::string(changed), plat::Utf8ToSjis("かん"));
  edit("");
  EXPECT_EQ(composition.Update(), nullptr);
  edit("かん");  // the same text after the composition ended is new again
  EXPECT_NE(composition.Update(), nullptr);
  edit("");
}

// A long composition comes as SDL's extended editing event, whose text the reader frees.
TEST(TextInputTest, LongCompositionsArriveWholeUpToTheReadersLimit) {
  struct Case {
    int kana;
    std::size_t bytes;
  };
  const Case cases[] = {{20, 40}, {70, 126}};  // 127 bytes would split the 64th kana
  for (const Case& each : cases) {
    SCOPED_TRACE(each.kana);
    plat::EventTranslator translator;
    std::string utf8;
    for (int i = 0; i < each.kana; ++i) utf8 += "か";
    SDL_Event event{};
    event.type = SDL_TEXTEDITING_EXT;
    event.editExt.text = utf8.data();
    event.editExt.start = 1;
    event.editExt.length = 2;
    std::vector<plat::Message> messages;
    translator.Translate(event, plat::EventContext{}, messages);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].wparam, plat::IMN_OPENCANDIDATE);
    CImeComposition composition;
    const char* text = composition.Update();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text), each.bytes);
    EXPECT_EQ(composition.Current().selected_begin, 2u);
    EXPECT_EQ(composition.Current().selected_end, 6u);
    plat::SetTextComposition({});
  }
}

}  // namespace

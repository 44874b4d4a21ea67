#include "platform/start_up_head_start.h"

#include "platform/font_face.h"
#include "platform/text_encoding.h"

namespace plat {

StartUpHeadStart::StartUpHeadStart()
    : thread_([] {
        PrepareCodeTables();
        PrepareFontconfig();
      }) {}

StartUpHeadStart::~StartUpHeadStart() { thread_.join(); }

}  // namespace plat

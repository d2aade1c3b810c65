// The instructions text (GBK: narrow literals are compiled to GBK).
#include "assets/instructions_text.h"

namespace kelvora {

const std::string_view kInstructionsText =
    "  游戏说明\r\n\r\n"
    "  只要将五颗以上\r\n\r\n"
    "  颜色相同的球\r\n\r\n"
    "  排成一直线或者斜线\r\n\r\n"
    "  即可将这些球消除\r\n\r\n"
    "  其中白色发光的魔法球\r\n\r\n"
    "  能代替任一颜色的球\r\n\r\n"
    "  一次消去5颗球有10分\r\n\r\n"
    "  多消一颗多5分";

}  // namespace kelvora

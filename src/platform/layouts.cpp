// The layouts of the main, honour-roll, name-entry and game-over windows.
#include "platform/layouts.h"

#include <string>

namespace kelvora {
namespace {

// Every face the windows use, in one table: the captions' look is decided here.
struct LayoutFonts {
    FontSpec heading{"宋体", 16, 700};        // the red embossed headings
    FontSpec bestName{"宋体", 14, 700};       // the best player's name on the main window
    FontSpec scoreDigits{"MS Serif", 21, 700};  // every seven-digit score
    FontSpec board{"黑体", 16, 700};          // text written on the game area
    FontSpec placeNumbers{"宋体", 24, 700};   // ① to ⑩ of the honour roll
    FontSpec honourName{"宋体", 12, 400};     // the names on the honour roll
    FontSpec congratulation{"宋体", 24, 700}; // the name-entry window's message
    FontSpec nameField{"宋体", 14, 400};      // the name being typed
    FontSpec gameOver{"宋体", 29, 700};       // the game-over window's message
};
const LayoutFonts kFonts;
// Text colours, 0x00BBGGRR like every colour of the layouts.
constexpr uint32_t kRedInk = 0x0000FF;
constexpr uint32_t kGreenInk = 0x00FF00;

ControlLayout Label(Text name, int32_t left, int32_t top, int32_t width, int32_t height, Text caption,
                    uint32_t textColour, uint32_t backColour, FontSpec font, TextAlign align, bool embossed) {
    ControlLayout c = ControlLayoutAt(std::move(name), ControlKind::Label, left, top, width, height);
    c.caption = std::move(caption);
    c.textColour = textColour;
    c.backColour = backColour;
    c.font = std::move(font);
    c.align = align;
    c.embossed = embossed;
    return c;
}

// The red embossed headings of the main window.
ControlLayout Heading(Text name, int32_t left, int32_t top, int32_t width, int32_t height, Text caption) {
    return Label(std::move(name), left, top, width, height, std::move(caption), kRedInk, kWindowBackColour,
                 kFonts.heading, TextAlign::Left, true);
}

ControlLayout Button(Text name, int32_t left, int32_t top, int32_t width, int32_t height, Text caption,
                     const char* onClick) {
    ControlLayout c = ControlLayoutAt(std::move(name), ControlKind::Button, left, top, width, height);
    c.caption = std::move(caption);
    c.bindings.push_back({EventKind::Click, onClick});
    return c;
}

ControlLayout Timer(Text name, int32_t left, int32_t top, int32_t width, int32_t height, int32_t interval,
                    const char* onTick) {
    ControlLayout c = ControlLayoutAt(std::move(name), ControlKind::Timer, left, top, width, height);
    c.interval = interval;
    c.bindings.push_back({EventKind::Tick, onTick});
    return c;
}

ControlLayout Panel(Text name, int32_t left, int32_t top, int32_t width, int32_t height) {
    return ControlLayoutAt(std::move(name), ControlKind::DrawPanel, left, top, width, height);
}

ControlLayout BlackPanel(Text name, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t penColour,
                         uint32_t brushColour, uint32_t textColour) {
    ControlLayout c = Panel(std::move(name), left, top, width, height);
    c.autoRedraw = true;
    c.backColour = 0;
    c.penColour = penColour;
    c.brushColour = brushColour;
    c.textColour = textColour;
    return c;
}

WindowLayout BuildMainWindow() {
    WindowLayout w;
    w.name = "主窗口";
    w.caption = "Kelvora 1.1 - 作者：Tovenhal - 感谢使用";
    w.width = 530;
    w.height = 442;
    w.minimizeBox = true;
    w.dragByBackground = true;
    w.escCloses = false;
    w.bindings.push_back({EventKind::Created, handlers::kSetUpMainWindow});

    const Text sixSpaces(6, ' ');
    w.controls.push_back(Heading("标签4", 8, 366, 512, 28,
                                 "作者：Tovenhal" + sixSpaces + "邮箱：tovenhal@kv.test" + sixSpaces + "感谢使用"));
    w.controls.push_back(Heading("标签3", 394, 288, 110, 24, "目前最佳纪录"));
    w.controls.push_back(Heading("标签2", 392, 156, 112, 24, "您目前的得分"));
    w.controls.push_back(Heading("标签1", 376, 78, 140, 24, " 下一次将会出现"));
    w.controls.push_back(Timer("时钟1", 280, 376, 32, 32, 100, handlers::kScrollTick));
    w.controls.push_back(Panel("画板3", 208, 376, 24, 40));
    w.controls.push_back(Panel("画板2", 112, 376, 32, 32));
    w.controls.push_back(Panel("画板1", 376, 8, 140, 58));
    // Tab goes from the board down the two buttons beside it, in the order they are seen.
    ControlLayout honourButton = Button("按钮荣誉榜", 392, 248, 106, 28, "荣誉榜", handlers::kOpenHonourRoll);
    honourButton.tabIndex = 3;
    w.controls.push_back(honourButton);
    ControlLayout startButton = Button("按钮开始游戏", 392, 212, 106, 28, "重新开始", handlers::kNewGame);
    startButton.tabIndex = 2;
    startButton.accessKey = Key::F2;
    w.controls.push_back(startButton);

    ControlLayout bestName = Label("标签高分名", 394, 318, 105, 19, "Dormix", 0xFFFFFF, 0, kFonts.bestName,
                                   TextAlign::Centre, false);
    bestName.tag = "21";
    w.controls.push_back(bestName);

    w.controls.push_back(Timer("时钟选中动画", 29, 373, 26, 26, 0, handlers::kSelectionTick));

    ControlLayout buffer = BlackPanel("画板动画缓冲", 150, 372, 39, 39, 0, 0xFFFFFF, 0);
    buffer.visible = false;
    w.controls.push_back(buffer);

    ControlLayout best = Label("标签最高分", 394, 343, 105, 19, "0 0 0 0 0 0 0", 0x00FFFF, 0,
                               kFonts.scoreDigits, TextAlign::Centre, false);
    best.tag = "22";
    best.gradient = {0, 0x524D52, 0};
    w.controls.push_back(best);

    w.controls.push_back(Label("标签分数", 392, 186, 105, 19, "0 0 0 0 0 0 0", kGreenInk, 0, kFonts.scoreDigits,
                               TextAlign::Centre, false));
    w.controls.push_back(BlackPanel("画板后继球", 388, 104, 120, 40, 0x606060, 0xFFFFFF, 0));

    ControlLayout board = BlackPanel("画板游戏区", 8, 8, 360, 360, 0x606060, 0x606060, 0xFFFFFF);
    board.font = kFonts.board;
    board.bindings.push_back({EventKind::LeftButtonDown, handlers::kHandleBoardPress});
    board.tabIndex = 1;
    board.cursorCell = 40;
    board.bindings.push_back({EventKind::CursorAppears, handlers::kPlaceBoardCursor});
    w.controls.push_back(board);
    return w;
}

WindowLayout BuildHonourWindow() {
    WindowLayout w;
    w.name = "荣誉榜窗口";
    w.caption = "荣誉榜";
    w.width = 331;
    w.height = 321;
    w.bindings.push_back({EventKind::Created, handlers::kFillHonourWindow});

    ControlLayout places = Label("标签2", 0, 32, 56, 240, "①\r\n②\r\n③\r\n④\r\n⑤\r\n⑥\r\n⑦\r\n⑧\r\n⑨\r\n⑩", 0,
                                 kWindowBackColour, kFonts.placeNumbers, TextAlign::Centre, false);
    places.wordWrap = true;
    w.controls.push_back(places);
    w.controls.push_back(Heading("标签1", 0, 0, 336, 24,
                                 " 名次" + Text(8, ' ') + "名字" + Text(11, ' ') + "分数"));
    for (int32_t k = 1; k <= 10; ++k) {
        ControlLayout name = Label("标签荣誉榜高分名" + std::to_string(k), 61, 32 + 25 * (k - 1), 140, 14, "Dormix",
                                   kGreenInk, 0, kFonts.honourName, TextAlign::Centre, false);
        name.tag = std::to_string(k);
        w.controls.push_back(name);
    }
    for (int32_t k = 1; k <= 10; ++k) {
        ControlLayout score = Label("标签荣誉榜最高分" + std::to_string(k), 207, 30 + 25 * (k - 1), 105, 19,
                                    "0 0 0 0 0 0 0", kGreenInk, 0, kFonts.scoreDigits, TextAlign::Centre, false);
        score.tag = std::to_string(10 + k);
        w.controls.push_back(score);
    }
    return w;
}

WindowLayout BuildNameEntryWindow() {
    WindowLayout w;
    w.name = "输入名字窗口";
    w.caption = "恭喜您！";
    w.width = 331;
    w.height = 233;
    w.bindings.push_back({EventKind::Created, handlers::kCentreOnMainWindow});

    ControlLayout ok = Button("按钮确定", 216, 160, 64, 24, "确定", handlers::kConfirmName);
    ok.tabIndex = 2;
    w.controls.push_back(ok);
    ControlLayout message = Label("标签1", 0, 0, 328, 152,
                                  "\r\n恭喜您！\r\n\r\n您的成绩足以进入荣誉榜\r\n\r\n请在此签下您的大名", kRedInk,
                                  kWindowBackColour, kFonts.congratulation, TextAlign::Centre, true);
    message.wordWrap = true;
    w.controls.push_back(message);

    ControlLayout field = ControlLayoutAt("编辑框玩家名称", ControlKind::EditBox, 60, 162, 147, 20);
    field.caption = "Tovenhal";
    field.textColour = 0;
    field.backColour = 0xFFFFFF;
    field.font = kFonts.nameField;
    field.tabIndex = 1;
    w.controls.push_back(field);
    return w;
}

WindowLayout BuildGameOverWindow() {
    WindowLayout w;
    w.name = "游戏结束窗口";
    w.caption = "游戏结束";
    w.width = 353;
    w.height = 160;
    w.bindings.push_back({EventKind::Created, handlers::kCentreOnMainWindow});

    ControlLayout message = Label("标签1", 0, -8, 344, 160, "\r\n请再接再厉\r\n\r\n希望下次有更好的成绩", kRedInk,
                                  kWindowBackColour, kFonts.gameOver, TextAlign::Centre, true);
    message.wordWrap = true;
    w.controls.push_back(message);
    return w;
}

}  // namespace

ControlLayout ControlLayoutAt(Text name, ControlKind kind, int32_t left, int32_t top, int32_t width, int32_t height) {
    ControlLayout c;
    c.name = std::move(name);
    c.kind = kind;
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    return c;
}

const WindowLayout& MainWindowLayout() {
    static const WindowLayout layout = BuildMainWindow();
    return layout;
}

const WindowLayout& HonourWindowLayout() {
    static const WindowLayout layout = BuildHonourWindow();
    return layout;
}

const WindowLayout& NameEntryWindowLayout() {
    static const WindowLayout layout = BuildNameEntryWindow();
    return layout;
}

const WindowLayout& GameOverWindowLayout() {
    static const WindowLayout layout = BuildGameOverWindow();
    return layout;
}

}  // namespace kelvora

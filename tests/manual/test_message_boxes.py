"""The message-box collector on small source trees: each way a box's text can
reach MessageBox is found, nothing that is not a box is taken for one, and a
call it cannot explain fails with its place."""
import tempfile
import unittest
from importlib.machinery import SourceFileLoader
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "manual-message-boxes"
boxes = SourceFileLoader("manual_message_boxes", str(SCRIPT)).load_module()

# (row name, {file: source}, texts the collector must find, exactly)
ROWS = [
    ("Literal", {"app/A.cpp": 'void A::Go() { MessageBox("文本一", CAPTION, 0); }'}, {"文本一"}),
    ("AdjacentLiterals", {"app/A.cpp": 'void A::Go() {\n MessageBox("前半"\n "后半", C, 0); }'},
     {"前半后半"}),
    ("ConstantFromAnotherFolder",
     {"platform/ui/Texts.hpp": 'inline constexpr const char* TOO_MANY = "太多!";',
      "pages/P.cpp": "void P::Add() { page.MessageBox(ui::TOO_MANY, C, 0); }"}, {"太多!"}),
    ("HelperPassingItsParameter",
     {"pages/P.cpp": "void P::ShowWarning(const char* text) { MessageBox(text, C, 0); }\n"
                     'void P::Add() { ShowWarning("已满!"); }'}, {"已满!"}),
    ("HelperTwoLevelsDeep",
     {"pages/P.cpp": "void P::ShowWarning(const char* text) { MessageBox(text, C, 0); }\n"
                     "bool P::Store(const std::string& typed, const char* complaint) {\n"
                     "    if (typed.empty()) { ShowWarning(complaint); return false; } return true; }\n"
                     'void P::Save() { Store(btr0_, "BTR0出错"); Store(btr1_, "BTR1出错"); }'},
     {"BTR0出错", "BTR1出错"}),
    ("SameNameInAnotherClassIsNoBox",
     {"platform/ui/X.cpp": "void X::Fail(std::string complaint) { dialog_.MessageBox(complaint, T, 0); }\n"
                           'void X::Int() { Fail("请输入整数。"); }',
      "upgrade/Image.cpp": "void Image::Fail(const char* why, int error) { why_ = why; }\n"
                           'bool Image::Open() { Fail("cannot open", 2); return false; }'},
     {"请输入整数。"}),
    ("LocalHelperHidesAMemberOfTheSameName",
     {"app/W.cpp": "CommandResult W::Warn(std::string_view text, bool ok) {\n"
                   "    CommandResult result{ok, std::string(text), CAPTION_WARNING};\n"
                   "    MessageBox(result.text, result.caption, 0); return result; }\n"
                   'void W::Read() { Warn("读取失败!"); }',
      "dtu/D.cpp": "namespace { void Warn(DTUDlg& page, const std::string& text) {\n"
                   "    page.MessageBox(text, C, 0); } }\n"
                   'bool Send(DTUDlg& basic) { Warn(basic, "发送失败!"); return false; }'},
     {"读取失败!", "发送失败!"}),
    ("ConcatenationKeepsItsLiteralPieces",
     {"app/A.cpp": 'inline constexpr const char* SAVE_FAILED = "未能保存：";\n'
                   "void A::Ok() { MessageBox(std::string(SAVE_FAILED) + saved.message, C, 0); }"},
     {"未能保存：…"}),
    ("BothBranchesOfAChoice",
     {"app/A.cpp": 'void A::Done(bool ok) { MessageBox(ok ? "成功" : "失败", C, 0); }'}, {"成功", "失败"}),
    ("RecordBuiltWithBracesGivesItsTextNotItsCaption",
     {"app/A.cpp": "void A::Reply(bool ok) {\n    const CommandResult result =\n"
                   '        ok ? CommandResult{true, "初始化成功", "恭喜", 0, {}}\n'
                   '           : CommandResult{false, "初始化失败", CAPTION_WARNING, 0, {}};\n'
                   "    MessageBox(result.text, result.caption, result.style); }"},
     {"初始化成功", "初始化失败"}),
    ("MemberFilledByAHelperElsewhere",
     {"protocol/Build.cpp": "struct Builder {\n"
                            "    bool Check(bool valid, const char* message) {\n"
                            "        if (!valid) { build_.message = message; } return valid; }\n"
                            '    bool Run() { return Check(a, "地址太长!") && Check(b, ""); }\n};',
      "dtu/W.cpp": "void W::Send() { Build build = Make(); page.MessageBox(build.message, C, 0); }",
      "pages/T.cpp": 'void T::Layout() { exchange.Check(IDC_BOX, "标签不是消息"); }'},
     {"地址太长!"}),
    ("StepsCalledThroughAMemberPointer",
     {"app/S.cpp": 'const char* S::Open() { return ok ? nullptr : "打开失败!"; }\n'
                   'const char* S::Close() { return "关闭失败!"; }\n'
                   "void S::Run() {\n    for (const Step step : STEPS) {\n"
                   "        if (const char* failure = (this->*step)()) { MessageBox(failure, C, 0); } } }"},
     {"打开失败!", "关闭失败!"}),
    ("TextMadeByAFunction",
     {"platform/ui/X.cpp": "std::string Range(long a, long b) {\n"
                           '    return "请输入介于 " + std::to_string(a) + " 和 " + std::to_string(b) + " 之间的数。"; }\n'
                           "void X::Fail(std::string complaint) { dialog_.MessageBox(complaint, T, 0); }\n"
                           "void X::Limit() { Fail(Range(1, 9)); }"},
     {"请输入介于 … 和 … 之间的数。"}),
    ("CommentsAreNoCode",
     {"app/A.cpp": '// MessageBox("旧的", C, 0);\n/* MessageBox("更旧的", C, 0); */\n'
                   'void A::Go() { MessageBox("新的", C, 0); }'}, {"新的"}),
]


def tree(files):
    root = tempfile.TemporaryDirectory()
    for name, text in files.items():
        path = Path(root.name) / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text, encoding="utf-8")
    for folder in boxes.TEXT_FOLDERS:
        (Path(root.name) / folder).mkdir(parents=True, exist_ok=True)
    return root


class CollectorTest(unittest.TestCase):
    def test_finds_each_way_a_text_reaches_a_box(self):
        for name, files, expected in ROWS:
            with self.subTest(name), tree(files) as root:
                collector = boxes.Collector(Path(root))
                self.assertEqual(set(collector.collect()), expected)
                self.assertEqual(collector.unresolved, [])

    def test_a_box_whose_text_cannot_be_told_fails_with_its_place(self):
        files = {"upgrade/U.cpp": 'void U::Go() {\n    MessageBox("可知", C, 0);\n'
                                  "    MessageBox(Compute(), C, 0);\n}"}
        with tree(files) as root:
            collector = boxes.Collector(Path(root))
            self.assertEqual(set(collector.collect()), {"可知"})
            self.assertEqual(collector.unresolved, ["upgrade/U.cpp:3: MessageBox(Compute(), C, 0)"])

    def test_the_manual_must_hold_every_text_and_every_piece(self):
        texts = {"请先连接设备!": set(), "未能保存：…": set(), "请输入介于 … 和 … 之间的数。": set()}
        rows = [
            ("AllThere", "请先连接设备! 未能保存：权限 请输入介于 1 和 9 之间的数。", []),
            ("OneMissing", "未能保存：x 请输入介于 1 和 9 之间的数。", ["请先连接设备!"]),
            ("PieceMissing", "请先连接设备! 未能保存： 请输入介于 1 之间的数。", ["请输入介于 … 和 … 之间的数。"]),
            ("TextAltered", "请先连接设备！未能保存： 请输入介于 和 之间的数。", ["请先连接设备!"]),
        ]
        for name, manual, lacking in rows:
            with self.subTest(name):
                self.assertEqual(boxes.missing_from(texts, manual), lacking)


if __name__ == "__main__":
    unittest.main()

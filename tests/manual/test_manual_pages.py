"""The manual's page: numbered chapters and sections in the contents, each
entry pointing at its heading, pictures from the pictures folder, and a missing
picture leaving its caption rather than a broken image."""
import tempfile
import unittest
from importlib.machinery import SourceFileLoader
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "manual"
manual = SourceFileLoader("manual_script", str(SCRIPT)).load_module()

CHAPTERS = {
    "01-a.md": "# 简介\n\n正文。\n\n## 消息框\n\n![主窗口](shots/main.png)\n\n### 小节\n",
    "02-b.md": "# 安装\n\n## 在 Linux 上安装\n\n![没有的图](shots/none.png)\n\n## 设置文件\n",
}


class ManualPageTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        root = Path(self.folder.name)
        self.shots = root / "shots"
        self.shots.mkdir()
        (self.shots / "main.png").write_bytes(b"\x89PNG\r\n\x1a\n")
        self.chapters = []
        for name, text in CHAPTERS.items():
            (root / name).write_text(text, encoding="utf-8")
            self.chapters.append(root / name)
        self.page = manual.render(self.chapters, self.shots)

    def tearDown(self):
        self.folder.cleanup()

    def test_contents_number_chapters_and_sections_and_point_at_them(self):
        rows = [
            ("FirstChapter", 'href="#c1-1">1　简介', '<h1 id="c1-1">1　简介</h1>'),
            ("ItsSection", 'href="#c1-2">1.1　消息框', '<h2 id="c1-2">1.1　消息框</h2>'),
            ("SecondChapter", 'href="#c2-1">2　安装', '<h1 id="c2-1">2　安装</h1>'),
            ("CountsAfresh", 'href="#c2-3">2.2　设置文件', '<h2 id="c2-3">2.2　设置文件</h2>'),
        ]
        for name, entry, heading in rows:
            with self.subTest(name):
                self.assertIn(entry, self.page)
                self.assertIn(heading, self.page)
        self.assertNotIn('href="#c1-3"', self.page, "a third-level heading stays out of the contents")

    def test_pictures_come_from_the_pictures_folder_or_leave_their_caption(self):
        picture = (self.shots / "main.png").resolve().as_uri()
        self.assertIn('<img src="%s" alt="主窗口">' % picture, self.page)
        self.assertIn("<figcaption>主窗口</figcaption>", self.page)
        self.assertIn('<div class="missing">（没有的图：本次生成未附图）</div>', self.page)
        self.assertNotIn("none.png", self.page)

    def test_without_a_pictures_folder_every_picture_leaves_its_caption(self):
        page = manual.render(self.chapters, None)
        self.assertNotIn("<img", page)
        self.assertIn("（主窗口：本次生成未附图）", page)


if __name__ == "__main__":
    unittest.main()

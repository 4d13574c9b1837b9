"""A test case that writes its scripts into a scratch folder of its own,
removed after each test."""

import os
import tempfile
import unittest


class ScriptFolderTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.folder = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def script(self, name, text):
        with open(os.path.join(self.folder, name), "w") as f:
            f.write(text)

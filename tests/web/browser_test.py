"""The web edition in a real browser (headless Chromium through Selenium):
typing by the fields' captions, the results and status line against the
module's own answer, the store, share links, setup files, the keyboard, the
network and axe-core's accessibility rules on every page.

Environment: PAGE_DIR (the built page), AXE_JS (axe.min.js), SHOT_DIR (where
the screenshots go), CAPACIMO_CALC (the native program, for a saved setup).
"""

import base64
import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select, WebDriverWait

PAGE_DIR = Path(os.environ["PAGE_DIR"])
AXE_JS = Path(os.environ["AXE_JS"]).read_text()
SHOT_DIR = Path(os.environ.get("SHOT_DIR", tempfile.mkdtemp()))
CAPACIMO_CALC = os.environ["CAPACIMO_CALC"]
SHOT_DIR.mkdir(parents=True, exist_ok=True)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class WebEdition(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.port = free_port()
        cls.server = subprocess.Popen(
            [sys.executable, "-m", "http.server", str(cls.port), "--bind", "127.0.0.1", "--directory", str(PAGE_DIR)],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cls.profile = tempfile.TemporaryDirectory()
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--user-data-dir=" + cls.profile.name, "--window-size=1280,800"):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        cls.driver.set_script_timeout(20)
        cls.file_url = (PAGE_DIR / "index.html").resolve().as_uri()
        for _ in range(50):  # the server answers within a moment
            try:
                socket.create_connection(("127.0.0.1", cls.port), timeout=0.2).close()
                break
            except OSError:
                time.sleep(0.1)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.terminate()
        cls.server.wait()
        cls.profile.cleanup()

    # ---- helpers

    def open(self, url=None, fresh=True):
        d = self.driver
        d.get(url or self.file_url)
        if fresh:
            d.execute_script("localStorage.clear()")
            d.get(url or self.file_url)
        WebDriverWait(d, 10).until(lambda drv: drv.execute_script("return document.body.classList.contains('ready')"))

    def table(self):
        return self.driver.execute_async_script(
            "const done = arguments[0]; createCapacimoCore().then(m => done(JSON.parse(m.entries())));")

    def expected(self, values):
        """The module's own answer for these values, outside the page's wiring."""
        return self.driver.execute_async_script(
            "const [values, done] = arguments;"
            "createCapacimoCore().then(m => done(JSON.parse(m.calculateValues(JSON.stringify(values), '{}'))));",
            values)

    def defaults(self):
        return self.driver.execute_async_script(
            "const done = arguments[0]; createCapacimoCore().then(m => done(JSON.parse(m.defaults())));")

    def field(self, caption, page=None):
        """The control a caption labels (on the given page when the caption repeats)."""
        d = self.driver
        for label in d.find_elements(By.TAG_NAME, "label"):
            if label.get_attribute("textContent") != caption:
                continue
            control = d.find_element(By.ID, label.get_attribute("for"))
            if page is None or d.execute_script(
                    "return arguments[0].closest('[role=tabpanel]').id === 'panel-' + arguments[1]", control, page):
                return control
        raise AssertionError("no field captioned " + repr(caption))

    def show_page(self, *captions):
        for caption in captions:
            self.driver.find_element(By.XPATH, "//*[@role='tab' and text()=%s]" % json.dumps(caption)).click()

    def type_into(self, caption, text, page=None):
        control = self.field(caption, page)
        control.click()
        control.send_keys(Keys.CONTROL, "a")
        control.send_keys(text)
        return control

    def choose(self, caption, item):
        Select(self.field(caption)).select_by_visible_text(item)

    def shown_results(self):
        rows = self.driver.find_elements(By.CSS_SELECTOR, "#results tbody tr")
        return [[c.text for c in r.find_elements(By.CSS_SELECTOR, "th, td")] for r in rows]

    def assert_shows(self, values):
        expected = self.expected(values)
        want = [[r["medium"], str(r["weeks"]), str(r["days"]), str(r["hours"])] for r in expected["results"]]
        self.assertEqual(self.shown_results(), want)
        status = self.driver.find_element(By.ID, "status")
        self.assertEqual(status.get_attribute("textContent"), expected["status"]["text"])
        self.assertIn(expected["status"]["level"], status.get_attribute("class"))

    def index_of(self, option, group=None):
        return next(i for i, e in enumerate(self.table()["entries"]) if e["option"] == option and e["group"] == group)

    def axe(self):
        self.driver.execute_script(AXE_JS)
        found = self.driver.execute_async_script(
            "const done = arguments[0];"
            "axe.run(document, {resultTypes: ['violations']}).then(r => done(r.violations.map("
            "v => v.id + ': ' + v.nodes.map(n => n.target.join(' ')).join(', '))));")
        return found

    # ---- the cases

    def test_typing_recalculates_and_follows_the_rules(self):
        self.open()
        values = self.defaults()
        analog = self.index_of("analog")
        self.show_page("Channel Settings")
        self.type_into("Number of  analog channels:", "99")
        values[analog] = 99  # used as typed while the field has the focus
        self.assert_shows(values)
        self.field("... of these with totalization:", "analog").click()  # leaving the field brings it into range
        values[analog] = 40
        self.assertEqual(self.field("Number of  analog channels:").get_attribute("value"), "40")
        self.assert_shows(values)

        # Dependent counts: impulse counters and totalizers follow the analog channels.
        self.type_into("... of these with totalization:", "5", "analog")
        self.type_into("... of  these as impulse counter:", "3")
        self.type_into("Number of  analog channels:", "4")
        self.assertEqual(self.field("... of these with totalization:", "analog").get_attribute("value"), "1")
        self.assertEqual(self.field("... of  these as impulse counter:").get_attribute("value"), "3")
        self.type_into("Number of  analog channels:", "0")
        self.assertEqual(self.field("... of  these as impulse counter:").get_attribute("value"), "0")
        values[analog] = 0
        self.assert_shows(values)  # the red error, and the results still follow

        # An emptied field changes nothing and gets the number it had when it
        # got the focus back when left.
        self.type_into("... of  these as impulse counter:", "0")
        control = self.type_into("Number of  analog channels:", Keys.BACKSPACE)
        self.assertEqual(control.get_attribute("value"), "")
        self.assert_shows(values)
        self.show_page("Group settings")
        self.assertEqual(control.get_attribute("value"), "0")
        self.assert_shows(values)

    def test_entries_are_kept_and_junk_costs_only_its_value(self):
        self.open()
        self.show_page("Channel Settings", "Digital channels")
        self.type_into("Number of on/off events or control inputs:", "3")
        self.show_page("Group settings", "Group 2")
        self.type_into("Number of digital on/off events or control inputs:", "2", "group2")
        self.open(fresh=False)
        values = self.defaults()
        values[self.index_of("digital-events")] = 3
        values[self.index_of("states", 2)] = 2
        self.assert_shows(values)
        self.assertEqual(self.field("Number of on/off events or control inputs:").get_attribute("value"), "3")

        analog_key = next(e["store"] for e in self.table()["entries"] if e["option"] == "analog")
        self.driver.execute_script("localStorage.setItem('capacimo/' + arguments[0], '{\"x\":'); "
                                   "localStorage.setItem('capacimo/Settings\\\\CFSize', '-17');", analog_key)
        self.open(fresh=False)
        values[self.index_of("analog")] = self.defaults()[self.index_of("analog")]
        self.assert_shows(values)
        self.assertEqual(self.field("Number of on/off events or control inputs:").get_attribute("value"), "3")

    def test_share_links_and_setup_files(self):
        self.open()
        self.choose("SD Card size:", "1 GB")
        self.show_page("Signal analysis")
        self.choose("Analysis 1:", "1h")
        self.driver.find_element(By.ID, "share").click()
        link = self.driver.find_element(By.ID, "share-link").get_attribute("value")
        self.assertIn("#setup=", link)
        values = self.defaults()
        entries = self.table()["entries"]
        values[self.index_of("card")] = entries[self.index_of("card")]["items"].index("1 GB")
        values[self.index_of("analysis1")] = entries[self.index_of("analysis1")]["items"].index("1h")

        self.open()  # a colleague without these entries opens the link
        self.open(link, fresh=False)
        self.assert_shows(values)
        self.assertEqual(Select(self.field("Analysis 1:")).first_selected_option.get_attribute("textContent"), "1h")

        # A damaged link is refused with one message and changes nothing.
        self.open(self.file_url + "#setup=" + base64.urlsafe_b64encode(b'{"format": "capacimo-setup", "analog": 99}')
                  .decode(), fresh=False)
        message = self.driver.find_element(By.ID, "message")
        self.assertTrue(message.is_displayed())
        self.assert_shows(values)

        # A setup file saved by the desktop's capacimo-calc opens here.
        with tempfile.TemporaryDirectory() as folder:
            named = Path(folder, "named.capacimo")
            named.write_text('{"format": "capacimo-setup", "version": 1, "model": "Scribent S", "name": "Boiler house"}')
            saved = Path(folder, "saved.capacimo")
            subprocess.run([CAPACIMO_CALC, "--setup", str(named), "--analog", "7", "--save-setup", str(saved)],
                           check=True, capture_output=True, env={**os.environ, "ASAN_OPTIONS": "detect_leaks=0"})
            self.driver.find_element(By.ID, "open-file").send_keys(str(saved))
            WebDriverWait(self.driver, 5).until(
                lambda d: d.find_element(By.ID, "setup-name").get_attribute("value") == "Boiler house")
        values = self.defaults()
        values[self.index_of("analog")] = 7
        self.assert_shows(values)

    def test_keyboard_reaches_details_and_axe_finds_nothing(self):
        self.open()
        d = self.driver
        d.find_element(By.ID, "field-cb_CFSize").click()
        reached = False
        for _ in range(40):
            d.switch_to.active_element.send_keys(Keys.TAB)
            if d.switch_to.active_element.get_attribute("id") == "details-toggle":
                reached = True
                break
        self.assertTrue(reached, "Tab never reached Details")
        d.switch_to.active_element.send_keys(Keys.ENTER)
        self.assertTrue(d.find_element(By.ID, "details").is_displayed())

        # Every page and inner page, by the arrow keys, with axe on each.
        violations = {}
        tab = d.find_element(By.ID, "tab-information")
        tab.click()
        for outer in range(4):
            violations[d.switch_to.active_element.text] = self.axe()
            inner = d.find_elements(By.CSS_SELECTOR, "[role=tabpanel]:not([hidden]) [role=tab][aria-selected=true]")
            if inner:
                inner[0].send_keys(Keys.END)
                violations[d.switch_to.active_element.text] = self.axe()
                d.find_element(By.CSS_SELECTOR, "#form > [role=tablist] [aria-selected=true]").click()
            d.switch_to.active_element.send_keys(Keys.ARROW_RIGHT)
        self.assertEqual({k: v for k, v in violations.items() if v}, {})

    def test_served_page_and_no_foreign_request(self):
        self.driver.get_log("performance")  # only what these two loads log
        self.driver.get_log("browser")
        self.open("http://127.0.0.1:%d/" % self.port)
        self.assert_shows(self.defaults())
        self.open()
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                url = message["params"]["request"]["url"]
                if url.split(":")[0] in ("chrome", "about", "data", "blob"):
                    continue  # the browser's own pages and what the page holds already
                self.assertTrue(url.startswith(PAGE_DIR.resolve().as_uri() + "/") or
                                url.startswith("http://127.0.0.1:%d/" % self.port), url)
        errors = [e["message"] for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [])

    def test_screenshots(self):
        self.open()
        self.show_page("Channel Settings")
        self.driver.find_element(By.ID, "details-toggle").click()
        for width, height in ((1280, 800), (390, 844)):
            self.driver.set_window_size(width, height)
            self.assertTrue(self.driver.save_screenshot(str(SHOT_DIR / ("page-%dx%d.png" % (width, height)))))
            overflow = self.driver.execute_script(
                "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
            self.assertLessEqual(overflow, 0, "the page is wider than %d px" % width)
        self.driver.set_window_size(1280, 800)

if __name__ == "__main__":
    unittest.main(verbosity=2)

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
from selenium.webdriver.common.print_page_options import PrintOptions
from selenium.webdriver.support.ui import Select, WebDriverWait

PAGE_DIR = Path(os.environ["PAGE_DIR"])
AXE_JS = Path(os.environ["AXE_JS"]).read_text()
SHOT_DIR = Path(os.environ.get("SHOT_DIR", tempfile.mkdtemp()))
CAPACIMO_CALC = os.environ["CAPACIMO_CALC"]
SHOT_DIR.mkdir(parents=True, exist_ok=True)

# Loaded before the page: the module's factory hands out modules whose next
# calculation, once window.stopCore is set, runs out of memory (its values are
# 80 MB of text, beyond the module's 64), as a hostile input would make it.
STOPPING_CORE = """(() => { let made;
  Object.defineProperty(window, 'createCapacimoCore', {get: () => made, set: (f) => { made = (o) => {
    const core = f(o);
    return !(core instanceof Promise) ? core : core.then((m) => { const calculate = m.calculateValues;
      m.calculateValues = (values, options) => { const stop = window.stopCore; window.stopCore = false;
        return calculate.call(m, stop ? '[' + '0,'.repeat(4e7) + '0]' : values, options); };
      return m; }); }; }}); })();"""

# Loaded before the page: the browser's clock at noon on 2026-03-14, local time.
FIXED_TODAY = """(() => { const Real = Date; const fixed = new Real(2026, 2, 14, 12).getTime();
  class FixedDate extends Real { constructor(...a) { super(...(a.length ? a : [fixed])); } static now() { return fixed; } }
  window.Date = FixedDate; })();"""

# On 2026-03-14 with a margin of 7 days: overdue (full on 02-24), due (full on
# 03-27), short (lasts some 9 weeks on the SD card, not 520), ok.
STATES_PLANT = """name,start,target,medium,analog,digital-events,analysis1,group1.cycle,group1.values
Boiler 1,2026-02-20,,,40,14,1min,100ms,8
Boiler 2,2026-02-24,,,40,14,1min,1s,8
Turbine hall,2026-03-10,520w,sd,8,0,no,1s,8
Cooling water,2026-01-05,,,2,0,no,1min,2
"""


def link_of(text):
    return "#setup=" + base64.urlsafe_b64encode(text if isinstance(text, bytes) else text.encode()).decode().rstrip("=")


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
        # The heaviest setup (every writer busy) as a setup file, from the module.
        cls.driver.get(cls.file_url)
        cls.heaviest = cls.driver.execute_async_script(
            "const done = arguments[0];"
            "createCapacimoCore().then(m => done(m.setupText(m.heaviest(), 'Boiler house, recorder 1')));")

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

    def wait_for_current_results(self):
        WebDriverWait(self.driver, 10).until(lambda d: d.execute_script(
            "return document.getElementById('results').dataset.current === 'true'"))

    def message(self):
        message = self.driver.find_element(By.ID, "message")
        return message.text if message.is_displayed() else ""

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

    def test_count_fields_read_as_the_desktop_reads_them(self):
        self.open()
        d = self.driver
        values = self.defaults()
        analog = self.index_of("analog")
        self.show_page("Channel Settings")
        separator = d.execute_script("return (1.5).toLocaleString().charAt(1)")
        # typed, the text it leaves (dropped keys), what it reads while typed, the text after leaving
        for typed, shown, reads, left in (("-5", "-5", -5, "0"), ("-", "-", 0, "0"), ("+7", "+7", 7, "7"),
                                          ("007", "007", 7, "7"), ("3" + separator + "5", None, 0, "0"),
                                          ("9" * 22, None, 0, "0"), ("4e2x", "42", 42, "40")):
            control = self.type_into("Number of  analog channels:", typed)
            self.assertEqual(control.get_attribute("value"), shown or typed)
            values[analog] = reads
            self.assert_shows(values)
            self.field("... of these with totalization:", "analog").click()
            self.assertEqual(control.get_attribute("value"), left, typed)
            values[analog] = int(left)
            self.assert_shows(values)
        # Pasted text is taken as it is, and reads as the minimum when it is no number.
        d.execute_script("arguments[0].focus(); arguments[0].value = '1e5';"
                         "arguments[0].dispatchEvent(new InputEvent('input', {inputType: 'insertFromPaste'}))",
                         control)
        values[analog] = 0
        self.assert_shows(values)

        # The weeks of the Details follow the same rules in their own range.
        # Typed beyond it, the core refuses the target: the page says so and
        # shows no old figures until the weeks are left.
        d.get_log("browser")
        d.find_element(By.ID, "details-toggle").click()
        weeks = d.find_element(By.ID, "target-weeks")
        weeks.click()
        weeks.send_keys(Keys.CONTROL, "a")
        weeks.send_keys("1000000")
        self.assertIn("1000000w", self.message())
        self.assertEqual(self.shown_results(), [])
        self.assertEqual(d.execute_script("return document.getElementById('results').dataset.current"), "false")
        self.assertEqual(d.find_elements(By.CSS_SELECTOR, "#details table, #details svg"), [])
        self.choose("SD Card size:", "1 GB")  # leaving the weeks brings them into range
        self.assertEqual(weeks.get_attribute("value"), "999999")
        self.assertEqual(self.message(), "")
        values[self.index_of("card")] = self.table()["entries"][self.index_of("card")]["items"].index("1 GB")
        self.assert_shows(values)
        self.assertEqual([e for e in d.get_log("browser") if e["level"] == "SEVERE"], [])  # no script failed

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

        self.assertEqual(self.driver.execute_script("return Object.keys(localStorage)"), ["capacimo/setup"])

        # The former store, one value per entry, is read once: junk costs only its value.
        entries = self.table()["entries"]
        stored = [["capacimo/" + entries[self.index_of(option, group)]["store"], text] for option, group, text in
                  (("digital-events", None, "3"), ("states", 2, "2"), ("analog", None, '{"x":'), ("card", None, "-17"))]
        self.driver.execute_script("localStorage.clear(); arguments[0].forEach(([k, v]) => localStorage.setItem(k, v));"
                                   "localStorage.setItem('capacimo/name', 'Boiler house')", stored)
        self.open(fresh=False)
        self.assert_shows(values)
        self.assertEqual(self.field("Number of on/off events or control inputs:").get_attribute("value"), "3")
        self.assertEqual(self.driver.find_element(By.ID, "setup-name").get_attribute("value"), "Boiler house")
        self.open(fresh=False)
        self.assert_shows(values)
        self.assertEqual(self.driver.execute_script("return Object.keys(localStorage)"), ["capacimo/setup"])

    def test_two_tabs_remember_the_setup_of_the_last_writer(self):
        d = self.driver
        self.open()
        first = d.current_window_handle
        d.switch_to.new_window("tab")
        self.open(fresh=False)
        second = d.current_window_handle
        self.show_page("Channel Settings")
        self.type_into("Number of  analog channels:", "5")
        d.switch_to.window(first)
        WebDriverWait(d, 5).until(lambda _: self.field("Number of  analog channels:").get_attribute("value") == "5")
        self.show_page("Channel Settings", "Digital channels")
        self.type_into("Number of on/off events or control inputs:", "3")
        values = self.defaults()
        values[self.index_of("analog")] = 5
        values[self.index_of("digital-events")] = 3
        d.switch_to.window(second)
        WebDriverWait(d, 5).until(
            lambda _: self.field("Number of on/off events or control inputs:").get_attribute("value") == "3")
        self.assert_shows(values)
        d.close()
        d.switch_to.window(first)
        self.open(fresh=False)
        self.assert_shows(values)

    def test_share_links_and_setup_files(self):
        self.open()
        self.choose("SD Card size:", "1 GB")
        self.driver.find_element(By.ID, "share").click()
        field = self.driver.find_element(By.ID, "share-link")
        note = self.driver.find_element(By.ID, "share-note")
        link = field.get_attribute("value")
        self.assertIn("#setup=", link)
        WebDriverWait(self.driver, 5).until(lambda _: note.text.startswith("copied · "))
        self.assertIn("only where the page is published", note.text)  # a page opened from a file
        self.show_page("Signal analysis")
        self.choose("Analysis 1:", "1h")
        self.assertNotEqual(field.get_attribute("value"), link)  # the link follows the setup
        self.assertNotIn("copied", note.text)
        link = field.get_attribute("value")
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

    def test_hostile_link_or_a_stopped_module_leaves_a_working_page(self):
        d = self.driver
        self.open()
        self.show_page("Channel Settings")
        self.type_into("Number of  analog channels:", "3")
        values = self.defaults()
        values[self.index_of("analog")] = 3
        for hostile in (b"[" * 150000, b"[" + b"0," * 500000 + b"0]"):  # each under the 1 MiB of a setup
            self.open(self.file_url + link_of(hostile), fresh=False)
            self.assertTrue(self.message().startswith("Share link: "), self.message())  # refused, not stopped
            self.assertEqual(d.execute_script("return location.hash"), "")
            self.wait_for_current_results()
            self.assert_shows(values)
        d.find_element(By.ID, "reset").click()  # the buttons work
        self.assert_shows(self.defaults())

        # A module that stops is replaced, and the new one answers the entries typed.
        script = d.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": STOPPING_CORE})["identifier"]
        try:
            self.open(fresh=False)
            d.execute_script("window.stopCore = true")
            self.show_page("Channel Settings")
            self.type_into("Number of  analog channels:", "7")
            self.assertRegex(self.message(), r"started again: Aborted\(OOM\)\.$")
            self.wait_for_current_results()
            values = self.defaults()
            values[self.index_of("analog")] = 7
            self.assert_shows(values)
        finally:
            d.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", {"identifier": script})
        self.open(fresh=False)
        self.assert_shows(values)

    def test_without_webassembly_or_scripts_one_sentence(self):
        d = self.driver
        for sentence, switch, off in (("p.cannot-run", "Page.addScriptToEvaluateOnNewDocument",
                                       {"source": "delete window.WebAssembly"}),
                                      ("noscript", "Emulation.setScriptExecutionDisabled", {"value": True})):
            script = d.execute_cdp_cmd(switch, off).get("identifier")
            try:
                d.get(self.file_url)
                shown = WebDriverWait(d, 10).until(lambda _: d.find_element(By.CSS_SELECTOR, sentence))
                self.assertIn("cannot run in this browser", shown.get_attribute("textContent"))
                self.assertGreater(shown.size["height"], 0)
                self.assertFalse([b for b in d.find_elements(By.CSS_SELECTOR, "button, input") if b.is_displayed()])
            finally:
                if script:
                    d.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", {"identifier": script})
                else:
                    d.execute_cdp_cmd(switch, {"value": False})

    def test_printing_gives_one_page_like_the_report(self):
        options = PrintOptions()
        options.page_width, options.page_height = 21.0, 29.7
        for setup in (None, self.heaviest):
            self.open()
            if setup:
                self.open(self.file_url + link_of(setup), fresh=False)
            pdf = base64.b64decode(self.driver.print_page(options))
            text = subprocess.run(["pdftotext", "-layout", "-", "-"], input=pdf, capture_output=True, check=True).stdout
            text = text.decode()
            self.assertEqual(text.count("\f"), 1, text)  # one page
            # The results first, the entries under their pages' captions, then where the bytes go.
            order = [text.find(caption) for caption in ("Capacimo 1.", "Storage duration", "Internal memory",
                                                        "Signal analysis", "Analog channels", "Math channels",
                                                        "Where the")]
            self.assertEqual(order, sorted(order), text)
            self.assertNotIn(-1, order)
            self.assertLess(order[2], text.find("Group settings"))
            self.assertLess(text.find("Group 10"), order[-1])
            self.assertRegex(text, r"Capacimo \S+ · \d{4}-\d\d-\d\d \d\d:\d\d")

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

    def test_screenshots_narrow_dark_and_forced_colours(self):
        d = self.driver
        self.open()
        self.open(self.file_url + link_of(self.heaviest), fresh=False)
        self.show_page("Channel Settings")
        d.find_element(By.ID, "details-toggle").click()
        chart_text = "Array.from(document.querySelectorAll('.chart text'))"
        for scheme, width in self.looks("page"):
            cut = d.execute_script(
                "const right = document.getElementById('details').getBoundingClientRect().right;"
                "return Array.from(document.querySelectorAll('#details table'))"
                ".filter(t => t.getBoundingClientRect().right > right + 0.5).length")
            self.assertEqual(cut, 0, "a Details table is cut at %d px" % width)
            smallest = d.execute_script("return Math.min(...%s.map(t => "
                                        "parseFloat(getComputedStyle(t).fontSize) * t.getScreenCTM().a))" % chart_text)
            self.assertGreaterEqual(smallest, 12, "chart words at %d px" % width)
            if width > 390:
                continue
            self.assertEqual(self.axe(), [], scheme)
            # The chart's words in the text's colour (which axe checks), also a high-contrast theme's.
            d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [
                {"name": "prefers-color-scheme", "value": scheme}, {"name": "forced-colors", "value": "active"}]})
            fill, text = d.execute_script("return [getComputedStyle(%s[0]).fill, getComputedStyle(document.body)"
                                          ".color]" % chart_text)
            self.assertEqual(fill, text, scheme)

    def looks(self, name):
        """The page light and dark, at 1280 and 390 px: yields (scheme, width) after
        taking the screenshot SHOT_DIR/name-WIDTHxHEIGHT-scheme.png and checking that
        the page is no wider than the window."""
        d = self.driver
        try:
            for scheme in ("light", "dark"):
                for width, height in ((1280, 800), (390, 844)):
                    d.execute_cdp_cmd("Emulation.setEmulatedMedia",
                                      {"features": [{"name": "prefers-color-scheme", "value": scheme}]})
                    d.set_window_size(width, height)
                    self.assertTrue(d.save_screenshot(str(SHOT_DIR / ("%s-%dx%d-%s.png" % (name, width, height, scheme)))))
                    overflow = d.execute_script(
                        "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
                    self.assertLessEqual(overflow, 0, "the page is wider than %d px" % width)
                    yield scheme, width
        finally:
            d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})
            d.set_window_size(1280, 800)

    # ---- the Plant view

    def open_plant(self, url=None, fresh=True):
        """The page on 2026-03-14 (the browser's clock fixed at noon), its Plant view shown."""
        d = self.driver
        script = d.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": FIXED_TODAY})["identifier"]
        try:
            self.open(url, fresh=fresh)
        finally:
            d.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", {"identifier": script})
        d.find_element(By.ID, "view-plant").click()

    def plant_rows(self):
        return self.driver.execute_script(
            "return Array.from(document.querySelectorAll('#plant-table tbody tr')).map(tr => Array.from(tr.cells)"
            ".map(c => c.querySelector('input') ? c.querySelector('input').value : c.textContent))")

    def add_to_plant(self, start):
        d = self.driver
        d.execute_script("arguments[0].value = arguments[1]", d.find_element(By.ID, "plant-start"), start)
        d.find_element(By.ID, "plant-add").click()

    def module_rows(self, recorders):
        """The module's own rows for these recorders on 2026-03-14, outside the page."""
        return self.driver.execute_async_script(
            "const [recorders, done] = arguments; createCapacimoCore().then(m => { m.plantToday('2026-03-14');"
            "recorders.forEach(r => m.plantAdd(JSON.stringify(r))); done(JSON.parse(m.plantView()).rows); });",
            recorders)

    def test_plant_add_sort_remove_and_undo(self):
        d = self.driver
        self.open_plant()
        self.assertEqual(self.plant_rows(), [])
        self.assertEqual(d.find_element(By.ID, "plant-start").get_attribute("value"), "2026-03-14")  # today
        self.open_plant(self.file_url + link_of(self.heaviest), fresh=False)
        self.add_to_plant("2026-03-01")
        d.find_element(By.ID, "view-calculator").click()
        d.find_element(By.ID, "reset").click()
        d.find_element(By.ID, "setup-name").clear()
        d.find_element(By.ID, "setup-name").send_keys("A light one")
        d.find_element(By.ID, "view-plant").click()
        self.add_to_plant("")
        heaviest = json.loads(self.heaviest)
        want = self.module_rows([{"values": self.expected_values(self.heaviest), "name": heaviest["name"], "start": "2026-03-01"},
                                 {"values": self.defaults(), "name": "A light one"}])
        shown = self.plant_rows()
        self.assertEqual([r[:4] + r[5:9] for r in shown], [r["cells"] for r in want])
        self.assertEqual([r[4] for r in shown], ["2026-03-01", ""])
        self.assertRegex(shown[0][7], r"^2026-0\d-\d\d$")  # read out by: a day, the heaviest within weeks
        self.assertEqual(d.find_element(By.ID, "plant-totals").text.split(" · ")[0], "Recorders: 2")

        # By any column's header, the second activation descending; aria-sort says which.
        names = lambda: [r[0] for r in self.plant_rows()]
        d.find_element(By.CSS_SELECTOR, "th[data-column=name] button").click()
        self.assertEqual(names(), ["A light one", heaviest["name"]])
        self.assertEqual(d.find_element(By.CSS_SELECTOR, "th[data-column=name]").get_attribute("aria-sort"), "ascending")
        self.assertIsNone(d.find_element(By.CSS_SELECTOR, "th[data-column=read_out_by]").get_attribute("aria-sort"))
        d.find_element(By.CSS_SELECTOR, "th[data-column=name] button").send_keys(Keys.ENTER)
        self.assertEqual(names(), [heaviest["name"], "A light one"])
        self.assertEqual(d.find_element(By.CSS_SELECTOR, "th[data-column=name]").get_attribute("aria-sort"),
                         "descending")

        # Remove (the chosen recorder, the plant's last), then undo: the row back in its place.
        before = self.plant_rows()
        d.get_log("browser")
        d.find_element(By.XPATH, "//button[@class='plant-name' and text()='A light one']").click()
        d.find_element(By.CSS_SELECTOR, "button[aria-label='Remove: A light one']").click()
        self.assertFalse(d.find_element(By.ID, "plant-link").is_displayed())  # nothing chosen now
        self.assertEqual([e for e in d.get_log("browser") if e["level"] == "SEVERE"], [])
        self.assertEqual(names(), [heaviest["name"]])
        self.assertEqual(d.switch_to.active_element.get_attribute("id"), "plant-undo")
        d.switch_to.active_element.send_keys(Keys.ENTER)
        self.assertEqual(self.plant_rows(), before)
        self.assertFalse(d.find_element(By.ID, "plant-undo-line").is_displayed())

    def expected_values(self, setup):
        return self.driver.execute_async_script(
            "const [text, done] = arguments; createCapacimoCore().then(m => done(JSON.parse(m.readSetup(text)).values));",
            setup)

    def test_plant_row_follows_the_calculator_and_other_tabs(self):
        d = self.driver
        self.open_plant()
        self.add_to_plant("2026-03-01")
        self.add_to_plant("2026-03-01")
        d.find_element(By.CSS_SELECTOR, "button[aria-label='Rename: ']").click()
        d.switch_to.active_element.send_keys("Boiler 2", Keys.ENTER)
        first = self.plant_rows()
        self.assertEqual(sorted(r[0] for r in first), ["", "Boiler 2"])
        d.find_elements(By.CSS_SELECTOR, ".plant-name")[0].click()  # chosen: into the calculator
        self.assertTrue(d.find_element(By.ID, "plant-link").is_displayed())
        d.find_element(By.ID, "view-calculator").click()
        self.assertEqual(d.find_element(By.ID, "setup-name").get_attribute("value"), first[0][0])
        self.choose("SD Card size:", "2 GB")
        d.find_element(By.ID, "view-plant").click()
        rows = self.plant_rows()
        changed = next(r for r in rows if r[0] == first[0][0])
        self.assertEqual(changed[1], "2 GB")
        self.assertNotEqual(changed[3], first[0][3])  # its SD card lasts longer now
        self.assertEqual(next(r for r in rows if r[0] == first[1][0]), first[1])  # the other stays

        # The start in place, and a second tab follows the store.
        start = d.find_elements(By.CSS_SELECTOR, "#plant-table input[type=date]")[0]
        label = start.get_attribute("aria-label")
        d.execute_script("arguments[0].focus(); arguments[0].value = '2026-04-10';"
                         "arguments[0].dispatchEvent(new Event('change'))", start)
        self.assertEqual([r[0] for r in self.plant_rows()][::-1], [r[0] for r in rows])  # read out later: last now
        self.assertEqual(d.switch_to.active_element.get_attribute("aria-label"), label)  # the focus went along
        tab = d.current_window_handle
        d.switch_to.new_window("tab")
        self.open_plant(fresh=False)
        self.assertEqual(self.plant_rows(), self.plant_rows_of(tab))
        self.add_to_plant("")
        mine = self.plant_rows()
        d.close()
        d.switch_to.window(tab)
        WebDriverWait(d, 5).until(lambda _: len(self.plant_rows()) == 3)
        self.assertEqual(self.plant_rows(), mine)
        self.assertFalse(d.find_element(By.ID, "plant-link").is_displayed())  # another tab's plant: nothing chosen

    def plant_rows_of(self, handle):
        d = self.driver
        here = d.current_window_handle
        d.switch_to.window(handle)
        rows = self.plant_rows()
        d.switch_to.window(here)
        return rows

    def test_plant_import_with_problems_export_and_calendar(self):
        d = self.driver
        self.open_plant()
        with tempfile.TemporaryDirectory() as folder:
            plant = Path(folder, "plant.csv")
            plant.write_bytes("\ufeffname;start;analog;group1.values\r\nBoiler 1;2026-02-30;3;3\r\n"
                              "Boiler 2;14.02.2026;40;8\r\nBoiler 3;;41;1\r\nBoiler 4;2026-01-05;2;2\r\n".encode())
            d.find_element(By.ID, "plant-file").send_keys(str(plant))
            WebDriverWait(d, 5).until(lambda _: len(self.plant_rows()) == 3)
            self.assertEqual(self.message().splitlines(), [
                "plant.csv: line 2, column start: 2026-02-30 is not a day: February 2026 has 28 days",
                "plant.csv: line 4, column analog: 41 is outside 0..40"])
            self.assertEqual(sorted(r[0] for r in self.plant_rows()), ["Boiler 1", "Boiler 2", "Boiler 4"])
            self.assertEqual(self.axe(), [])  # with problems

            # The export is capacimo-calc's file of the same plant, byte for byte, and what the store holds.
            saved = Path(folder, "saved.csv")
            subprocess.run([CAPACIMO_CALC, "--setup", str(plant), "--save-setup", str(saved)],
                           check=False, capture_output=True, env={**os.environ, "ASAN_OPTIONS": "detect_leaks=0"})
            self.assertEqual(self.downloaded("plant-export"), saved.read_bytes().decode())
            stored = json.loads(d.execute_script("return localStorage.getItem('capacimo/plant')"))
            self.assertEqual(stored, {"margin": 7, "csv": saved.read_bytes().decode()})
        calendar = self.downloaded("plant-calendar")
        self.assertEqual(calendar.count("BEGIN:VEVENT"), 2)  # the two rows with a start
        self.assertIn("\r\n", calendar)

        # A file refused as a whole changes nothing.
        d.execute_script("document.getElementById('plant-margin').value = '366';"
                         "document.getElementById('plant-margin').dispatchEvent(new Event('change'))")
        self.assertIn("0 to 365", self.message())
        self.assertEqual(d.find_element(By.ID, "plant-margin").get_attribute("value"), "7")
        self.assertEqual(len(self.plant_rows()), 3)

    def test_plant_short_recorder_plans_in_one_click_and_duplicates(self):
        d = self.driver
        self.open_plant()
        with tempfile.TemporaryDirectory() as folder:
            plant = Path(folder, "plant.csv")
            plant.write_bytes(b"name,start,target,medium,card,analog,group1.cycle,group1.values\n"
                              b"Kiln,,3w4d,sd,256 MB,40,100ms,8\nPress,2026-03-01,,,2 GB,1,1min,1\n")
            d.find_element(By.ID, "plant-file").send_keys(str(plant))
            WebDriverWait(d, 5).until(lambda _: len(self.plant_rows()) == 2)
        plan = lambda name: d.find_element(By.CSS_SELECTOR, "button[aria-label='Plan: %s']" % name)
        self.assertFalse(plan("Press").is_displayed())  # no target: nothing to plan
        kiln = next(r for r in self.plant_rows() if r[0] == "Kiln")
        self.assertEqual(kiln[8], "Short")
        for _ in self.looks("plant-short"):  # the row's four actions fit at 390 px too
            pass
        plan("Kiln").click()
        # The calculator shows the recorder, the Details its target in weeks (rounded up) and the plan.
        self.assertTrue(d.find_element(By.ID, "calculator-view").is_displayed())
        self.assertEqual(d.find_element(By.ID, "setup-name").get_attribute("value"), "Kiln")
        self.assertEqual(d.find_element(By.ID, "details-toggle").get_attribute("aria-expanded"), "true")
        self.assertEqual(d.find_element(By.ID, "target-weeks").get_attribute("value"), "4")
        self.assertEqual(d.find_element(By.ID, "target-medium").get_attribute("value"), "sd")
        WebDriverWait(d, 5).until(lambda _: d.find_element(By.CSS_SELECTOR, "#details .plan dl").text != "")

        # Duplicate: the copy beside its original, with its days.
        d.find_element(By.ID, "view-plant").click()
        d.find_element(By.CSS_SELECTOR, "button[aria-label='Duplicate: Press']").click()
        rows = self.plant_rows()
        self.assertEqual([r[0] for r in rows].count("Press"), 2)
        presses = [r for r in rows if r[0] == "Press"]
        self.assertEqual(presses[0][:9], presses[1][:9])

    def test_plant_of_ten_thousand_recorders_in_pages(self):
        d = self.driver
        self.open_plant()
        rows = ["name,start,analog,group1.cycle"] + ["R%d,2026-01-%02d,%d,1s" % (i, 1 + i % 28, i % 41)
                                                     for i in range(10000)]
        with tempfile.TemporaryDirectory() as folder:
            plant = Path(folder, "plant.csv")
            plant.write_text("\n".join(rows) + "\n")
            d.find_element(By.ID, "plant-file").send_keys(str(plant))
            WebDriverWait(d, 20).until(lambda _: d.find_element(By.ID, "plant-totals").text.startswith("Recorders: 10000"))
        self.assertEqual(self.message(), "")  # read whole, the module did not stop
        self.assertEqual(len(self.plant_rows()), 50)
        self.assertEqual(d.find_element(By.ID, "plant-page-text").text, "Rows 1 to 50 of 10000")
        first = self.plant_rows()
        d.find_element(By.ID, "plant-next").click()
        self.assertEqual(d.find_element(By.ID, "plant-page-text").text, "Rows 51 to 100 of 10000")
        self.assertNotEqual(self.plant_rows(), first)
        WebDriverWait(d, 5).until(lambda _: d.execute_script("return localStorage.getItem('capacimo/plant')"))
        self.assertEqual(d.execute_script("return JSON.parse(localStorage.getItem('capacimo/plant')).csv.split('\\n').length"),
                         10002)  # the header, 10,000 rows, the last line's end

    def downloaded(self, button):
        """The text the button gives to download."""
        return self.driver.execute_async_script(
            "const [button, done] = arguments; const make = URL.createObjectURL;"
            "URL.createObjectURL = (blob) => { URL.createObjectURL = make; blob.text().then(done); return make(blob); };"
            "document.getElementById(button).click();", button)

    def test_plant_by_keyboard_at_390px_and_axe_finds_nothing(self):
        d = self.driver
        self.open_plant()
        self.assertEqual(self.axe(), [], "empty")
        d.find_element(By.ID, "view-plant").send_keys(Keys.ARROW_LEFT)
        self.assertTrue(d.find_element(By.ID, "calculator-view").is_displayed())
        d.switch_to.active_element.send_keys(Keys.ARROW_RIGHT)
        self.assertTrue(d.find_element(By.ID, "plant-view").is_displayed())
        for name, start in (("Boiler house, recorder 1", "2026-03-01"), ("Boiler 2", "")):
            d.find_element(By.ID, "setup-name").clear()
            d.find_element(By.ID, "setup-name").send_keys(name)
            self.add_to_plant(start)
            self.assertEqual(d.switch_to.active_element.text, name)  # the new row's name, ready
        # A plant with every state, for their colours (axe checks their contrast) and the pictures.
        with tempfile.TemporaryDirectory() as folder:
            plant = Path(folder, "plant.csv")
            plant.write_text(STATES_PLANT)
            d.find_element(By.ID, "plant-file").send_keys(str(plant))
            WebDriverWait(d, 5).until(lambda _: len(self.plant_rows()) == 4)
        self.assertEqual([r[-2] for r in self.plant_rows()], ["Overdue", "Due", "Short", "OK"])
        # Printed: the table, then each recorder's page when asked.
        d.find_element(By.ID, "plant-print-pages").click()
        d.execute_script("window.print = () => {}")
        d.find_element(By.ID, "plant-print").click()
        pdf = base64.b64decode(d.print_page())
        (SHOT_DIR / "plant-printed.pdf").write_bytes(pdf)
        text = subprocess.run(["pdftotext", "-layout", "-", "-"], input=pdf, capture_output=True, check=True).stdout.decode()
        d.execute_script("window.dispatchEvent(new Event('afterprint'))")
        pages = text.split("\f")[:-1]
        self.assertEqual([p.strip().split("\n")[0] for p in pages[1:]],
                         ["Boiler 1", "Boiler 2", "Turbine hall", "Cooling water"], text)
        self.assertIn("Overdue", pages[0])
        self.assertIn("Group 1: Storage cycle:", pages[1])
        self.assertNotIn("Add to plant", text)
        self.assertNotIn("Calculator", text)  # the views' tabs are no part of the paper
        for scheme, width in self.looks("plant"):
            self.assertEqual(self.axe(), [], "%s, %d px" % (scheme, width))
            # Cards on a phone, and still a table with its headers to a screen reader.
            roles = [n["role"]["value"] for n in d.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
                     if n.get("role")]
            self.assertEqual((roles.count("rowheader"), roles.count("columnheader")), (4, 10), width)

if __name__ == "__main__":
    unittest.main(verbosity=2)

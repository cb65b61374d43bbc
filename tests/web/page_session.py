"""What the web edition's browser tests share: a page server, headless
Chromium through Selenium, and helpers that type by the fields' captions,
read the results, the plant's rows and what the page downloads.

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

# Loaded before the page: the module's factory hands out modules whose next
# calculation, once window.stopCore is set, stops the module (its values are
# 80 MB of text, more than the module can take), as a hostile input would.
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


class PageSession(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.port = free_port()
        cls.server = subprocess.Popen(
            [sys.executable, "-m", "http.server", str(cls.port), "--bind", "127.0.0.1", "--directory", str(PAGE_DIR)],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cls.profile = tempfile.TemporaryDirectory()
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        # Timers of a tab in the background run as in the front one: two
        # tabs act at the same moment.
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
                     "--disable-backgrounding-occluded-windows",
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

    def expected_values(self, setup):
        return self.driver.execute_async_script(
            "const [text, done] = arguments; createCapacimoCore().then(m => done(JSON.parse(m.readSetup(text)).values));",
            setup)

    def plant_rows_of(self, handle):
        d = self.driver
        here = d.current_window_handle
        d.switch_to.window(handle)
        rows = self.plant_rows()
        d.switch_to.window(here)
        return rows

    def downloaded(self, button):
        """The text the button gives to download."""
        return self.driver.execute_async_script(
            "const [button, done] = arguments; const make = URL.createObjectURL;"
            "URL.createObjectURL = (blob) => { URL.createObjectURL = make; blob.text().then(done); return make(blob); };"
            "document.getElementById(button).click();", button)

    def module_row_text(self, recorder):
        """A recorder's row of the plant file, as the module writes it."""
        return self.driver.execute_async_script(
            "const [recorder, done] = arguments; createCapacimoCore().then(m => {"
            "m.plantAdd(JSON.stringify(recorder)); done(JSON.parse(m.plantRowText(0)).row); });", recorder)

    def stored_plant(self):
        """The plant as the browser's store holds it: its rows in order, its margin."""
        return self.driver.execute_script("""
            const rows = [];
            for (let i = 0; i < localStorage.length; ++i) {
                const key = localStorage.key(i);
                if (!key.startsWith('capacimo/plant/r/')) continue;
                const value = JSON.parse(localStorage.getItem(key));
                rows.push([value.at, key, value.row]);
            }
            rows.sort((a, b) => a[0] - b[0] || (a[1] < b[1] ? -1 : 1));
            return {rows: rows.map(r => r[2]), margin: localStorage.getItem('capacimo/plant/margin')};""")

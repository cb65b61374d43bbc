"""The web edition in a real browser (headless Chromium through Selenium):
typing by the fields' captions, the results and status line against the
module's own answer, the store, share links, setup files, the keyboard, the
network and axe-core's accessibility rules on every page. The Plant view's
tests are plant_browser_test.py's.
"""

import base64
import json
import os
import subprocess
import tempfile
import unittest
from pathlib import Path

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.common.print_page_options import PrintOptions
from selenium.webdriver.support.ui import Select, WebDriverWait

from page_session import (PageSession, CAPACIMO_CALC, PAGE_DIR, STOPPING_CORE, link_of)


class WebEdition(PageSession):
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
        # Typed beyond it, the core refuses the target: that costs the plan
        # alone, whose place says why; the durations stay current.
        d.get_log("browser")
        d.find_element(By.ID, "details-toggle").click()
        weeks = d.find_element(By.ID, "target-weeks")
        weeks.click()
        weeks.send_keys(Keys.CONTROL, "a")
        weeks.send_keys("1000000")
        self.assertIn("1000000w is not a retention", d.find_element(By.CSS_SELECTOR, "#details .plan").text)
        self.assertEqual(d.execute_script("return document.getElementById('results').dataset.current"), "true")
        self.assert_shows(values)
        self.assertNotEqual(d.find_elements(By.CSS_SELECTOR, "#details table, #details svg"), [])
        self.choose("SD Card size:", "1 GB")  # leaving the weeks brings them into range
        self.assertEqual(weeks.get_attribute("value"), "999999")
        self.assertEqual(self.message(), "")
        self.assertNotIn("is not a retention", d.find_element(By.CSS_SELECTOR, "#details .plan").text)
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
            self.assertRegex(self.message(), r"started again(: .+)?\.$")
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


if __name__ == "__main__":
    unittest.main(verbosity=2)

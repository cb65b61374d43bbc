"""The web edition's Plant view in a real browser: adding, sorting, removing
and undoing; a chosen recorder following the calculator; files in, out and
on paper; ten thousand recorders in pages; the store that two tabs share,
damaged stores and plants kept by an older page.
"""

import base64
import json
import os
import re
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

from page_session import (PageSession, CAPACIMO_CALC, SHOT_DIR, STATES_PLANT, link_of)


class PlantView(PageSession):
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
        self.assertTrue(d.find_element(By.ID, "plant-link").is_displayed())  # another recorder's change: still chosen

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

            # The export is capacimo-calc's file of the same plant, byte for
            # byte, with what could not be read in its place, and what the store holds.
            saved = Path(folder, "saved.csv")
            subprocess.run([CAPACIMO_CALC, "--setup", str(plant), "--save-setup", str(saved)],
                           check=False, capture_output=True, env={**os.environ, "ASAN_OPTIONS": "detect_leaks=0"})
            self.assertEqual(self.downloaded("plant-export"), saved.read_bytes().decode())
            self.assertEqual(self.message(), "plant.csv: 1 row and 1 cell that could not be read are written back "
                                             "as they were.")
            lines = saved.read_bytes().decode().splitlines()
            # (The file quotes the name after a kept row; a stored row stands alone.)
            self.assertEqual(self.stored_plant(), {"rows": [l.replace('"Boiler 4"', "Boiler 4") for l in lines[1:]],
                                                   "margin": None})
            self.assertEqual(lines[3][:16], "Boiler 3,,,,,41,")  # the refused row, in its place
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
        self.assertEqual(len(self.stored_plant()["rows"]), 10000)

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

    def test_plant_on_paper_as_the_command_line_reports_it(self):
        """Printing on the Plant view (Ctrl+P, the header's Print) prints the plant: ISO days, "page i of n",
        and each recorder's page with the facts of capacimo-calc's report of the same plant, page by page."""
        d = self.driver
        self.open_plant()
        with tempfile.TemporaryDirectory() as folder:
            plant = Path(folder, "plant.csv")
            plant.write_text(STATES_PLANT)
            d.find_element(By.ID, "plant-file").send_keys(str(plant))
            WebDriverWait(d, 5).until(lambda _: len(self.plant_rows()) == 4)
            report = Path(folder, "plant.pdf")
            subprocess.run([CAPACIMO_CALC, "--setup", str(plant), "--today", "2026-03-14", "--report", str(report)],
                           check=False, capture_output=True, env={**os.environ, "ASAN_OPTIONS": "detect_leaks=0"})
            cli = subprocess.run(["pdftotext", "-layout", str(report), "-"], capture_output=True,
                                 check=True).stdout.decode().split("\f")[:-1]
        d.find_element(By.ID, "plant-print-pages").click()
        d.execute_script("window.dispatchEvent(new Event('beforeprint'))")  # as Ctrl+P starts it
        pdf = base64.b64decode(d.print_page())
        d.execute_script("window.dispatchEvent(new Event('afterprint'))")
        web = subprocess.run(["pdftotext", "-layout", "-", "-"], input=pdf, capture_output=True,
                             check=True).stdout.decode().split("\f")[:-1]
        self.assertEqual(len(web), 5)
        self.assertIn("2026-02-20", web[0])  # the start as every other day
        self.assertNotRegex(web[0], r"mm/dd/yyyy|\d\d/\d\d/\d{4}")
        for i, page in enumerate(web):
            self.assertIn("page %d of 5" % (i + 1), page)

        def facts(page):
            found = {"name": page.strip().split("\n")[0].replace("Scribent S: ", "")}
            for key, pattern in (("internal", r"Internal memory\s+(\d+)\s+(\d+)\s+(\d+)"),
                                 ("sd", r"SD Card(?: \d+ [MG]B)?\s+(\d+)\s+(\d+)\s+(\d+)"),
                                 ("start", r"Start\s+(\d{4}-\d\d-\d\d)"),
                                 ("internal_full_on", r"Full on \(internal\)\s+(\d{4}-\d\d-\d\d)"),
                                 ("sd_full_on", r"Full on \(SD\)\s+(\d{4}-\d\d-\d\d)"),
                                 ("read_out_by", r"Read out by\s+(\d{4}-\d\d-\d\d)"),
                                 ("state", r"State:?\s+(Overdue|Due|Short|No start|OK)\b")):
                m = re.search(pattern, page)
                found[key] = m.groups() if m else None
            return found

        for page_web, page_cli in zip(web[1:], cli[len(cli) - 4:]):
            self.assertEqual(facts(page_web), facts(page_cli))
            self.assertTrue(all(facts(page_web).values()), facts(page_web))

    # ---- the store two tabs share

    def act_at(self, moment, script, *args):
        """Runs script (its arguments as args) in this tab at the given moment (ms, the page's real clock)."""
        self.driver.execute_script(
            "const [moment, body, args] = arguments; const run = new Function('args', body);"
            "setTimeout(() => run(args), moment - (performance.timeOrigin + performance.now()));",
            moment, script, list(args))

    def now(self):
        return self.driver.execute_script("return performance.timeOrigin + performance.now()")

    def test_two_tabs_lose_no_change_to_another_recorder(self):
        d = self.driver
        self.open_plant()
        for name in ("A0", "B0"):
            d.find_element(By.ID, "setup-name").clear()
            d.find_element(By.ID, "setup-name").send_keys(name)
            self.add_to_plant("2026-03-01")
        first = d.current_window_handle
        d.switch_to.new_window("window")
        self.open_plant(fresh=False)
        second = d.current_window_handle
        add = ("document.getElementById('setup-name').value = args[0];"
               "document.getElementById('setup-name').dispatchEvent(new Event('input'));"
               "document.getElementById('plant-start').value = '2026-03-14';"
               "document.getElementById('plant-add').click();")
        start = ("const input = document.querySelector(`#plant-table input[aria-label='Start: ${args[0]}']`);"
                 "input.value = args[1]; input.dispatchEvent(new Event('change'));")
        remove = "document.querySelector(`button[aria-label='Remove: ${args[0]}']`).click();"
        expected = {"A0": "2026-03-01", "B0": "2026-03-01"}
        for trial in range(20):
            offset = trial * 300 // 19
            moment = self.now() + 400
            for handle, who, delay in ((first, "A", 0), (second, "B", offset)):
                d.switch_to.window(handle)
                name = "%s%d" % (who, trial // 3)
                step = trial % 3
                if step == 0:  # each tab adds a recorder of its own
                    self.act_at(moment + delay, add, "%s%d" % (who, trial // 3 + 1))
                elif step == 1:  # and then dates it
                    self.act_at(moment + delay, start, "%s%d" % (who, trial // 3 + 1), "2026-02-%02d" % (trial + 1))
                else:  # and then removes the one before
                    self.act_at(moment + delay, remove, name)
            if trial % 3 == 0:
                expected.update({"A%d" % (trial // 3 + 1): "2026-03-14", "B%d" % (trial // 3 + 1): "2026-03-14"})
            elif trial % 3 == 1:
                for who in "AB":
                    expected["%s%d" % (who, trial // 3 + 1)] = "2026-02-%02d" % (trial + 1)
            else:
                for who in "AB":
                    del expected["%s%d" % (who, trial // 3)]
            time.sleep((offset + 700) / 1000)
            for handle in (first, second):
                d.switch_to.window(handle)
                WebDriverWait(d, 5).until(lambda _: {r[0]: r[4] for r in self.plant_rows()} == expected,
                                          "trial %d at %d ms: %s" % (trial, offset, self.plant_rows()))
        self.assertEqual(sorted(r.split(",")[0] for r in self.stored_plant()["rows"]), sorted(expected))
        d.switch_to.window(second)
        d.close()
        d.switch_to.window(first)

    def test_a_damaged_store_is_shown_as_far_as_it_reads_and_never_written_over(self):
        d = self.driver
        self.open_plant()
        recorder = {"values": self.defaults(), "name": "Good", "start": "2026-03-01"}
        good = self.module_rows([recorder])
        d.execute_script("""localStorage.clear();
            localStorage.setItem('capacimo/plant/margin', '400');
            localStorage.setItem('capacimo/plant/r/good', JSON.stringify({at: 1, row: arguments[0]}));
            localStorage.setItem('capacimo/plant/r/bad', '{"at": 2, "row": ');
            localStorage.setItem('capacimo/plant/r/odd', JSON.stringify({at: 3, row: 'Odd,2026-03-01,,,,41'}));""",
                         self.module_row_text(recorder))
        self.open_plant(fresh=False)
        self.assertEqual([r[0] for r in self.plant_rows()], ["Good"])
        self.assertEqual(self.plant_rows()[0][:4] + self.plant_rows()[0][5:9], good[0]["cells"])
        self.assertEqual(d.find_element(By.ID, "plant-margin").get_attribute("value"), "7")
        self.assertIn('a margin of "400" days is not a whole number of days from 0 to 365; the default 7', self.message())
        self.assertIn("stored row 2: 6 cells where the header names", self.message())
        self.assertTrue(d.find_element(By.ID, "plant-unreadable").is_displayed())
        self.assertIn("1 stored values", d.find_element(By.ID, "plant-unreadable").text)
        self.assertEqual(self.downloaded("plant-unreadable-download"), 'capacimo/plant/r/bad\n{"at": 2, "row": \n')
        self.add_to_plant("2026-03-02")
        stored = d.execute_script("return [localStorage.getItem('capacimo/plant/r/bad'),"
                                  "localStorage.getItem('capacimo/plant/r/odd')]")
        self.assertEqual(stored[0], '{"at": 2, "row": ')
        self.assertIn("Odd,2026-03-01,,,,41", stored[1])
        self.assertIn("Odd,2026-03-01,,,,41", self.downloaded("plant-export"))

    def test_a_plant_kept_by_an_older_page_comes_back_whole(self):
        d = self.driver
        self.open_plant()
        csv = "name,start,analog\nBoiler 1,2026-03-01,2\nKiln,,4\nBad,2026-03-01,41\n"
        d.execute_script("localStorage.clear(); localStorage.setItem('capacimo/plant', arguments[0])",
                         json.dumps({"margin": 5, "csv": csv}))
        self.open_plant(fresh=False)
        self.assertEqual([r[0] for r in self.plant_rows()], ["Boiler 1", "Kiln"])
        self.assertEqual(d.find_element(By.ID, "plant-margin").get_attribute("value"), "5")
        stored = self.stored_plant()
        self.assertEqual([r.split(",")[0] for r in stored["rows"]], ["Boiler 1", "Kiln", "Bad"])
        self.assertEqual(stored["margin"], "5")
        self.assertIsNone(d.execute_script("return localStorage.getItem('capacimo/plant')"))
        # One the page cannot read stays where it is, with the way to take it along.
        d.execute_script("localStorage.clear(); localStorage.setItem('capacimo/plant', '{\"margin\": 5, \"csv\": 7}')")
        self.open_plant(fresh=False)
        self.assertEqual(self.plant_rows(), [])
        self.assertTrue(d.find_element(By.ID, "plant-unreadable").is_displayed())
        self.add_to_plant("")
        self.assertEqual(d.execute_script("return localStorage.getItem('capacimo/plant')"), '{"margin": 5, "csv": 7}')

    def test_a_spreadsheets_file_in_any_encoding_and_a_margin_as_typed(self):
        d = self.driver
        self.open_plant()
        files = (("win.csv", "name;start\r\nK\xf6ln 1;01/02/27\r\nStra\xdfe;20.11.26\r\n".encode("cp1252"),
                  "win.csv: line 2: the bytes are not UTF-8; read as Windows-1252"),
                 ("unicode.txt", "\ufeffname\tstart\r\nK\xf6ln 1\t01/02/27\r\nStra\xdfe\t20.11.26\r\n".encode("utf-16-le"),
                  "unicode.txt: read as UTF-16 (little-endian)"))
        with tempfile.TemporaryDirectory() as folder:
            for name, data, note in files:
                Path(folder, name).write_bytes(data)
                d.find_element(By.ID, "plant-file").send_keys(str(Path(folder, name)))
                WebDriverWait(d, 5).until(lambda _: note in self.message())
                rows = {r[0]: r for r in self.plant_rows()}
                self.assertEqual(sorted(rows), ["K\xf6ln 1", "Stra\xdfe"])
                self.assertEqual(rows["Stra\xdfe"][4], "2026-11-20")
                self.assertIn("01/02/27 may be day/month or month/day", self.message())
                self.assertEqual(rows["K\xf6ln 1"][-2], "No start")
                refused = d.find_element(By.CSS_SELECTOR, "#plant-table .refused:not([hidden])")
                self.assertEqual(refused.text, "not read: 01/02/27")
        margin = d.find_element(By.ID, "plant-margin")
        for typed, shown, said in ((" 7", "7", ""), ("0x10", "7", 'a margin of "0x10" days is not accepted')):
            d.execute_script("arguments[0].value = arguments[1]; arguments[0].dispatchEvent(new Event('change'))",
                             margin, typed)
            self.assertEqual(margin.get_attribute("value"), shown)
            self.assertIn(said, self.message())


if __name__ == "__main__":
    unittest.main(verbosity=2)

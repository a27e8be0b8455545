#!/usr/bin/env python3
"""Drives an availability page in headless Chromium through WebDriver.

usage: availability_browser.py PAGE.html

Paints and erases half-hours by mouse drag, touch drag and keyboard, presses "Copy my reply" and prints one
JSON object: the reply text, the cells the page should now hold (day * 48 + half-hour, Sunday 0),
the cells it showed on opening, the player name and clan name as shown, and how many resources
the page asked the network for.
"""

import json
import pathlib
import shutil
import sys

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys


def on_cells(driver):
    return sorted(int(e.get_attribute("data-i")) for e in driver.find_elements(By.CSS_SELECTOR, ".cell.on"))


def cell(driver, day, slot):
    return driver.find_element(By.ID, f"c-{day}-{slot}")


def drag(driver, start, end):
    ActionChains(driver).click_and_hold(cell(driver, *start)).move_to_element(
        cell(driver, *end)).release().perform()


def main():
    page = pathlib.Path(sys.argv[1]).resolve()
    options = Options()
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--window-size=900,1600",
                     "--lang=en-US"):
        options.add_argument(argument)
    options.binary_location = shutil.which("chromium") or shutil.which("chromium-browser")
    driver_path = shutil.which("chromedriver")
    driver = webdriver.Chrome(options=options, service=Service(driver_path) if driver_path else None)
    try:
        driver.get(page.as_uri())
        opened = on_cells(driver)
        cells = set(opened)
        first = int(driver.find_element(By.ID, "grid").get_attribute("data-first-day"))

        def column(day):
            return (day - first) % 7

        # Paint Wednesday 19:00-21:30 (six half-hours) in one vertical drag.
        drag(driver, (3, 38), (3, 43))
        cells |= {3 * 48 + s for s in range(38, 44)}
        # Paint a rectangle over two neighbouring days of the shown order, 05:00-06:30.
        left = [d for d in range(7) if column(d) == 3][0]
        right = [d for d in range(7) if column(d) == 4][0]
        drag(driver, (left, 10), (right, 12))
        cells |= {d * 48 + s for d in (left, right) for s in range(10, 13)}
        # A finger paints Saturday 01:00-02:30.
        touch = ActionBuilder(driver, mouse=PointerInput(interaction.POINTER_TOUCH, "finger"))
        touch.pointer_action.move_to(cell(driver, 6, 2)).pointer_down().move_to(cell(driver, 6, 4)).pointer_up()
        touch.perform()
        cells |= {6 * 48 + s for s in range(2, 5)}
        # Erase by dragging from a painted half-hour: Wednesday 19:30-20:00 go again.
        drag(driver, (3, 39), (3, 40))
        cells -= {3 * 48 + 39, 3 * 48 + 40}
        # Keyboard: the cursor stands where the last drag ended (Wednesday 20:00).
        grid = driver.find_element(By.ID, "grid")
        grid.send_keys(Keys.SPACE)  # Wednesday 20:00 on again
        cells ^= {3 * 48 + 40}
        grid.send_keys(Keys.ARROW_DOWN, Keys.ARROW_DOWN, Keys.ARROW_DOWN, Keys.ARROW_DOWN, Keys.SPACE)
        cells ^= {3 * 48 + 44}  # Wednesday 22:00
        previous = [d for d in range(7) if column(d) == column(3) - 1][0]
        grid.send_keys(Keys.ARROW_LEFT, Keys.SPACE, Keys.ARROW_UP, Keys.SPACE)
        cells ^= {previous * 48 + 44, previous * 48 + 43}
        # Space on a painted half-hour clears it: Monday 18:00 from the stored week.
        monday = 1 * 48 + 36
        if monday in opened:
            cell_col, target_col = column(previous), column(1)
            moves = [Keys.ARROW_LEFT] * (cell_col - target_col) if cell_col >= target_col else \
                [Keys.ARROW_RIGHT] * (target_col - cell_col)
            grid.send_keys(*moves, *([Keys.ARROW_UP] * (43 - 36)), Keys.SPACE)
            cells ^= {monday}

        driver.find_element(By.ID, "copy").click()
        reply = driver.find_element(By.ID, "reply")
        result = {
            "reply": reply.get_attribute("value"),
            "replySelected": driver.execute_script(
                "var r = document.getElementById('reply');"
                "return r.selectionStart === 0 && r.selectionEnd === r.value.length;"),
            "shown": on_cells(driver),
            "expected": sorted(cells),
            "opened": opened,
            "player": driver.find_element(By.ID, "player").text,
            "clan": driver.find_element(By.TAG_NAME, "h1").text,
            "requests": driver.execute_script("return performance.getEntriesByType('resource').length;"),
        }
        print(json.dumps(result))
    finally:
        driver.quit()


if __name__ == "__main__":
    main()

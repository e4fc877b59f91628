"""The Python module qel as a script uses it, installed, against another program's window showing
the scene qel-find's test searches (tests/tools/scene.sh): each search on the screen, in the
window and in a file, with the answers qel-find gives; bad input refused with ValueError naming
the argument. Run by tests/python/run.sh, which exports the scene's places."""

import os
import struct
import subprocess
import sys
import threading
import time
from pathlib import Path

import pytest

import qel

env = os.environ
SX, SY = int(env["SCENE_X"]), int(env["SCENE_Y"])
WIDTH, HEIGHT = int(env["SCENE_WIDTH"]), int(env["SCENE_HEIGHT"])
WINDOW = int(env["SCENE_WINDOW"])
AREA = (SX, SY, WIDTH, HEIGHT)
FILES = Path(env["SCENE_DIR"])
SCENE = (FILES / "scene.bmp").read_bytes()
SMALL = (FILES / "small.bmp").read_bytes()
PATTERN = (FILES / "pattern.bmp").read_bytes()
NUMBER_BMP = (FILES / "number.bmp").read_bytes()

BLOCK_HEX, BLOCK_DECIMAL = env["BLOCK_COLOR"], int(env["BLOCK_DECIMAL"])
BLOCK = (int(env["BLOCK_FIRST_X"]), int(env["BLOCK_FIRST_Y"]))
IMAGE = (int(env["IMAGE_X"]), int(env["IMAGE_Y"]))
POINTS = (int(env["PATTERN_X"]), int(env["PATTERN_Y"]))
LOOK = dict(font=env["TEXT_FONT"], size=int(env["TEXT_SIZE"]), color=env["TEXT_COLOR"])


def on_screen(place):
    return (SX + place[0], SY + place[1])


def bmp_size(bmp):
    """Width, height and bits per pixel from a BMP file's BITMAPINFOHEADER."""
    width, height, _, bits = struct.unpack_from("<iiHH", bmp, 18)
    return width, abs(height), bits


def test_the_installed_module_is_tested():
    assert Path(qel.__file__).parent == Path(env["PYTHONPATH"])


@pytest.mark.parametrize(
    "x, y, where",
    [
        (SX + BLOCK[0], SY + BLOCK[1], {}),
        (*BLOCK, dict(window=WINDOW)),
        (*BLOCK, dict(window=WINDOW, through_window=True)),
    ],
)
def test_pixel_reads_qels_decimal_value(x, y, where):
    assert qel.pixel(x, y, **where) == BLOCK_DECIMAL


@pytest.mark.parametrize(
    "search, where, expected",
    [
        (lambda **w: qel.find_color("#" + BLOCK_HEX, **w), {}, on_screen(BLOCK)),
        (lambda **w: qel.find_color(BLOCK_HEX, **w), dict(area=AREA), on_screen(BLOCK)),
        (lambda **w: qel.find_color(str(BLOCK_DECIMAL), **w), dict(window=WINDOW), BLOCK),
        (lambda **w: qel.find_color(BLOCK_DECIMAL, **w), dict(image=SCENE), BLOCK),
        (lambda **w: qel.find_image(SMALL, **w), {}, on_screen(IMAGE)),
        (lambda **w: qel.find_image(SMALL, **w), dict(window=WINDOW), IMAGE),
        (lambda **w: qel.find_image(SMALL, **w), dict(image=SCENE), IMAGE),
        (lambda **w: qel.find_pattern(PATTERN, background="FFFFFF", **w), dict(area=AREA),
         on_screen(POINTS)),
        (lambda **w: qel.find_pattern(PATTERN, background=0xFFFFFF, **w),
         dict(window=WINDOW, through_window=True), POINTS),
        (lambda **w: qel.find_pattern(PATTERN, background="#FFFFFF", **w), dict(image=SCENE),
         POINTS),
    ],
)
def test_first_and_every_place(search, where, expected):
    assert search(**where) == expected
    assert search(all=True, **where)[0] == expected


def test_every_pixel_of_a_colour_bottom_row_first():
    places = qel.find_color(BLOCK_HEX, image=SCENE, all=True)
    assert len(places) == int(env["BLOCK_PIXELS"])
    assert places[0] == BLOCK
    assert places == sorted(places, key=lambda place: (-place[1], place[0]))


@pytest.mark.parametrize(
    "where",
    [
        dict(image=SCENE),
        dict(window=WINDOW),
        dict(window=WINDOW, through_window=True),
        dict(area=AREA),
    ],
)
def test_text_found_in_its_line_on_screen_window_and_file(where):
    in_file = qel.find_text(env["TEXT"], image=SCENE, **LOOK)
    assert int(env["TEXT_LEFT"]) <= in_file[0] < int(env["TEXT_RIGHT"])
    assert int(env["TEXT_TOP"]) <= in_file[1] < int(env["TEXT_BOTTOM"])
    expected = on_screen(in_file) if "area" in where else in_file
    assert qel.find_text(env["TEXT"], **LOOK, **where) == expected
    assert qel.find_text(env["TEXT"], **LOOK, all=True, **where) == [expected]


def test_number_read_as_an_int():
    number = qel.read_number(image=NUMBER_BMP, **LOOK)
    assert number == int(env["NUMBER"]) and isinstance(number, int)


@pytest.mark.parametrize(
    "search, nothing",
    [
        (lambda: qel.find_color(0x123456, image=SCENE), None),
        (lambda: qel.find_color("123456", window=WINDOW, all=True), []),
        (lambda: qel.find_image(SCENE, image=SMALL), None),
        (lambda: qel.find_image(SCENE, image=SMALL, all=True), []),
        (lambda: qel.find_text("Zzz", image=SCENE, **LOOK), None),
        (lambda: qel.read_number(image=SMALL, **LOOK), None),
    ],
)
def test_nothing_found(search, nothing):
    assert search() == nothing


def test_grab_gives_the_scene_as_a_bmp_file():
    assert qel.grab(AREA) == SCENE
    window8 = qel.grab(window=WINDOW, bits=8)
    assert bmp_size(window8) == (WIDTH, HEIGHT, 8)
    assert qel.find_color(BLOCK_HEX, image=window8) == BLOCK


@pytest.mark.parametrize("kind", [bytes, bytearray, memoryview])
def test_any_buffer_is_an_image(kind):
    assert qel.find_image(kind(SMALL), image=kind(SCENE)) == IMAGE


def test_a_numpy_array_is_an_image():
    numpy = pytest.importorskip("numpy")
    assert qel.find_image(numpy.frombuffer(SMALL, numpy.uint8), image=SCENE) == IMAGE
    with pytest.raises(ValueError, match="small"):
        qel.find_image(numpy.frombuffer(SMALL, numpy.uint8)[::2], image=SCENE)


NOT_BMP = b"not a picture"
CUT = SCENE[:60]


@pytest.mark.parametrize(
    "call, named",
    [
        (lambda: qel.find_color("ZZZ"), "color='ZZZ'"),
        (lambda: qel.find_color(1 << 24), "color="),
        (lambda: qel.find_color(BLOCK_HEX, area=(1, 2, 3)), "area=(1, 2, 3)"),
        (lambda: qel.find_color(BLOCK_HEX, area=(0, 0, -1, 5)), "area="),
        (lambda: qel.find_color(BLOCK_HEX, tolerance=-4), "tolerance=-4"),
        (lambda: qel.find_color(BLOCK_HEX, image=NOT_BMP), "image"),
        (lambda: qel.find_color(BLOCK_HEX, image=SCENE, window=WINDOW), "image"),
        (lambda: qel.find_image(SMALL, image=CUT), "image"),
        (lambda: qel.find_image(CUT, image=SCENE), "small"),
        (lambda: qel.find_pattern(PATTERN, background="nope", image=SCENE), "background"),
        (lambda: qel.find_pattern(PATTERN, similarity=101, image=SCENE), "similarity=101"),
        (lambda: qel.find_color(BLOCK_HEX, window=12345), "window=12345"),
        (lambda: qel.pixel(1, 1, window=12345), "window=12345"),
        (lambda: qel.find_color(BLOCK_HEX, through_window=True), "through_window"),
        (lambda: qel.grab(bits=7), "bits=7"),
        (lambda: qel.find_text("", image=SCENE, **LOOK), "text=''"),
        (lambda: qel.read_number(image=NUMBER_BMP, **dict(LOOK, size=0)), "size=0"),
    ],
)
def test_bad_input_names_the_argument(call, named):
    with pytest.raises(ValueError) as refused:
        call()
    assert str(refused.value).startswith(named)


def test_searches_of_a_file_need_no_display():
    script = """
import sys, qel
scene, small, pattern = (open(name, "rb").read() for name in sys.argv[1:])
print(qel.find_color({block}, image=scene), qel.find_image(small, image=scene),
      qel.find_pattern(pattern, background=0xFFFFFF, image=scene))
for needs_display in (lambda: qel.pixel(0, 0),
                      lambda: qel.find_text("Qel", font="x", size=9, color=0, image=scene)):
    try:
        needs_display()
    except OSError as error:
        print(error)
""".format(block=BLOCK_DECIMAL)
    without = {name: value for name, value in env.items() if name != "DISPLAY"}
    answer = subprocess.run(
        [sys.executable, "-c", script, FILES / "scene.bmp", FILES / "small.bmp",
         FILES / "pattern.bmp"], env=without, capture_output=True, text=True, check=True)
    assert answer.stdout.splitlines() == [
        f"{BLOCK} {IMAGE} {POINTS}",
        "no desktop to search: DISPLAY is not set",
        "no desktop to search: DISPLAY is not set",
    ]


def test_a_text_search_writes_nothing_on_standard_error_even_without_a_runtime_folder():
    script = """
import sys, qel
print(qel.find_text(sys.argv[1], image=open(sys.argv[2], "rb").read(), font=sys.argv[3],
                    size=int(sys.argv[4]), color=sys.argv[5]))
"""
    without = {name: value for name, value in env.items() if name != "XDG_RUNTIME_DIR"}
    answer = subprocess.run(
        [sys.executable, "-c", script, env["TEXT"], FILES / "scene.bmp", LOOK["font"],
         str(LOOK["size"]), str(LOOK["color"])], env=without, capture_output=True, text=True,
        check=True)
    assert answer.stdout.strip() != "None"
    assert answer.stderr == ""


def test_searches_from_many_threads_answer_as_one_does():
    # The library's walks over an image are shared by the process: searches must not interleave.
    expected = qel.find_color(BLOCK_HEX, image=SCENE, all=True)
    colours, images = [], []

    def search():
        for _ in range(20):
            colours.append(qel.find_color(BLOCK_HEX, image=SCENE, all=True))
            images.append(qel.find_image(SMALL, window=WINDOW, all=True))

    threads = [threading.Thread(target=search) for _ in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert colours == [expected] * 80 and images == [[IMAGE]] * 80


def test_other_threads_go_on_while_a_search_runs():
    searching = threading.Thread(
        target=lambda: [qel.find_color(0x123456, all=True) for _ in range(10)])
    ticks = 0
    searching.start()
    while searching.is_alive():
        time.sleep(0.001)
        ticks += 1
    # Holding the GIL, the searches would let this thread on only between them, a tick each.
    assert ticks > 50

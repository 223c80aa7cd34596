#!/usr/bin/env python3
"""Writes the client's artwork as SVG files into assets/art/ and lists them in assets/art.qrc.

Every picture is composed here from one palette, one stroke style and one glyph set, so the tool
bar, the menus, the cards and the dialogs read as one family. The SVG files are the reviewed
sources the build packs; run this again after changing a glyph or a colour and commit both.

    python3 assets/make_art.py
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "art")

# ---------------------------------------------------------------------------------------------
# Palette: muted dark blue and slate grey, one warm accent for attention and one for highlight.
INK = "#2C4A68"          # glyphs on light cells
INK_SOFT = "#7A8CA0"     # secondary strokes on light cells
ACCENT = "#3F78B0"       # the blue accent (fills, rings)
ACCENT_DARK = "#1E3F61"
LIGHT = "#EEF3F8"        # glyphs on dark surfaces
LIGHT_ACCENT = "#8FB8E0"
WARN = "#B9473F"         # strike line, new-comment badge
HILITE = "#E3B341"       # the highlighter's ink
GOOD = "#8FD19E"         # "agree" on the dark menu
BAD = "#F08C7E"          # "disagree" on the dark menu
SLATE = "#3A4B5E"        # the tool strip down the right edge
SLATE_DARK = "#27333F"
SLATE_LIGHT = "#4B5E73"
CUT = "#FF0000"          # dropped from the shaped dialogs' window region

STROKE = 1.5             # the one stroke width of the set, at 1x

# ---------------------------------------------------------------------------------------------
# Glyphs, each drawn in an 18 x 18 box. `ink` strokes the outline, `acc` is the glyph's accent.
# Fragments carry no stroke width: the caller's group sets it, so a glyph scaled into a smaller
# icon keeps the set's stroke width on screen.


def g_hand(ink, acc):
    return (f'<path d="M5.5 10.5V4.2a1.25 1.25 0 0 1 2.5 0V9 M8 8.5V2.9a1.25 1.25 0 0 1 2.5 0V8.5 '
            f'M10.5 8.5V3.9a1.25 1.25 0 0 1 2.5 0V9 M13 9.5V6a1.25 1.25 0 0 1 2.5 0v5.2'
            f'c0 3.7-2.4 5.9-5.8 5.9H9c-1.9 0-3.1-.8-4.2-2.2L2 11.3a1.3 1.3 0 0 1 2-1.7l1.5 1.6" '
            f'stroke="{ink}" fill="none"/>')


def g_callout(ink, acc):
    return (f'<rect x="7" y="1.5" width="9.5" height="9" rx="1" stroke="{ink}" fill="none"/>'
            f'<path d="M9.3 4.2h5 M11.8 4.2v4.3" stroke="{ink}" fill="none"/>'
            f'<path d="M7 8.5 2.5 15" stroke="{ink}" fill="none"/>'
            f'<circle cx="2.5" cy="15" r="1.6" fill="{acc}" stroke="none"/>')


def g_note(ink, acc):
    return (f'<path d="M2.5 2.5h13v8.5l-4.5 4.5H2.5z" stroke="{ink}" fill="none"/>'
            f'<path d="M15.5 11H11v4.5" stroke="{ink}" fill="none"/>'
            f'<path d="M5.5 6.2h7 M5.5 9.2h4" stroke="{acc}" fill="none"/>')


def mono(ink, colour):
    """Colours a glyph's fixed accents only where it is not drawn in plain white (card icons)."""
    return ink if ink == "#FFFFFF" else colour


def g_highlight(ink, acc):
    return (f'<rect x="1" y="15" width="16" height="2.5" rx=".6" fill="{mono(ink, HILITE)}" '
            f'stroke="none"/>'
            f'<path d="M11.5 1.8l4.7 4.7-6.7 6.7H4.8V8.5z" stroke="{ink}" fill="none"/>'
            f'<path d="M8.2 5.1l4.7 4.7 M4.8 13.2 3 15" stroke="{ink}" fill="none"/>')


def g_strikeout(ink, acc):
    return (f'<path d="M13 5c-.6-1.4-2-2.3-3.9-2.3-2.2 0-3.7 1.1-3.7 2.8 0 3.9 7.8 2.4 7.8 6.7 '
            f'0 1.9-1.7 3.1-4 3.1-2 0-3.5-.9-4.1-2.5" stroke="{ink}" fill="none"/>'
            f'<path d="M1.5 9h15" stroke="{mono(ink, WARN)}" fill="none"/>')


def g_image(ink, acc):
    return (f'<rect x="1.5" y="2.5" width="15" height="13" rx="1.5" stroke="{ink}" fill="none"/>'
            f'<path d="M2 13.5l4.3-4.8 3.2 3.2 2.2-2.2 4.3 3.8" stroke="{ink}" fill="none"/>'
            f'<circle cx="12" cy="6.3" r="1.6" fill="{acc}" stroke="none"/>')


def g_attachment(ink, acc):
    return (f'<path d="M14.8 8.3l-5.9 5.9a3.7 3.7 0 0 1-5.2-5.2l6.5-6.5a2.45 2.45 0 0 1 3.5 3.5'
            f'l-6.4 6.4a1.2 1.2 0 0 1-1.7-1.7l5.7-5.7" stroke="{ink}" fill="none"/>')


def _lens(ink, cx=7.5, cy=7.5, r=5.5):
    hx = cx + r * 0.72
    return (f'<circle cx="{cx}" cy="{cy}" r="{r}" stroke="{ink}" fill="none"/>'
            f'<path d="M{hx:.2f} {hx - cx + cy:.2f}L16.5 16.5" stroke="{ink}" fill="none" '
            f'stroke-width="1.4em"/>')


def g_zoom_in(ink, acc):
    return _lens(ink) + f'<path d="M5 7.5h5 M7.5 5v5" stroke="{acc}" fill="none"/>'


def g_zoom_out(ink, acc):
    return _lens(ink) + f'<path d="M5 7.5h5" stroke="{acc}" fill="none"/>'


def g_find(ink, acc):
    return (f'<path d="M1.5 2.5h10 M1.5 6h5 M1.5 9.5h3.5 M1.5 13h3.5" stroke="{acc}" fill="none"/>'
            + _lens(ink, 11, 10.5, 4))


def g_fit(ink, acc):
    return (f'<path d="M1.5 5.5v-4h4 M12.5 1.5h4v4 M16.5 12.5v4h-4 M5.5 16.5h-4v-4" '
            f'stroke="{ink}" fill="none"/>'
            f'<rect x="5.5" y="4.5" width="7" height="9" rx=".8" stroke="{acc}" fill="none"/>')


def g_rotate(ink, acc):
    # A page with a quarter-turn arrow over it.
    return (f'<rect x="2" y="7.5" width="8.5" height="9" rx=".8" stroke="{acc}" fill="none"/>'
            f'<path d="M5.5 4.2C10 1.8 15.2 4 15.6 10.2" stroke="{ink}" fill="none"/>'
            f'<path d="M13.2 8.3l2.4 2.4 2.2-2.6" stroke="{ink}" fill="none"/>')


def g_all(ink, acc):
    return (f'<path d="M1 9s3-5.5 8-5.5S17 9 17 9s-3 5.5-8 5.5S1 9 1 9z" stroke="{ink}" fill="none"/>'
            f'<circle cx="9" cy="9" r="2.6" fill="{acc}" stroke="none"/>')


def g_printer(ink, acc):
    return (f'<path d="M4.5 6.5v-5h9v5" stroke="{ink}" fill="none"/>'
            f'<path d="M4.5 13.5h-2a1 1 0 0 1-1-1v-5a1 1 0 0 1 1-1h13a1 1 0 0 1 1 1v5a1 1 0 0 1-1 1h-2" '
            f'stroke="{ink}" fill="none"/>'
            f'<rect x="4.5" y="10.5" width="9" height="6" stroke="{ink}" fill="none"/>'
            f'<circle cx="13.6" cy="8.8" r=".9" fill="{acc}" stroke="none"/>')


def g_more(ink, acc):
    return "".join(f'<circle cx="{x}" cy="9" r="1.7" fill="{ink}" stroke="none"/>'
                   for x in (3.5, 9, 14.5))


def g_cloud(ink, acc):
    # A revision cloud: semicircular scallops around a rectangle, three along the long sides and
    # two along the short ones, drawn clockwise so every scallop bulges outwards.
    x0, y0, x1, y1 = 2.5, 4.5, 15.5, 13.5
    d = f"M{x0} {y0}"
    for (ax, ay), (bx, by), n in [((x0, y0), (x1, y0), 3), ((x1, y0), (x1, y1), 2),
                                  ((x1, y1), (x0, y1), 3), ((x0, y1), (x0, y0), 2)]:
        dx, dy = (bx - ax) / n, (by - ay) / n
        r = math.hypot(dx, dy) / 2
        for _ in range(n):
            d += f"a{r:.3f} {r:.3f} 0 0 1 {dx:.3f} {dy:.3f}"
    return f'<path d="{d}z" stroke="{ink}" fill="none"/>'


def g_arrow(ink, acc):
    return f'<path d="M3 15 15 3 M8 3h7v7" stroke="{ink}" fill="none"/>'


def g_line(ink, acc):
    return (f'<path d="M3.5 14.5 14.5 3.5" stroke="{ink}" fill="none"/>'
            f'<circle cx="3.5" cy="14.5" r="1.7" fill="{acc}" stroke="none"/>'
            f'<circle cx="14.5" cy="3.5" r="1.7" fill="{acc}" stroke="none"/>')


def g_rectangle(ink, acc):
    return f'<rect x="2" y="4" width="14" height="10" rx=".5" stroke="{ink}" fill="none"/>'


def g_ellipse(ink, acc):
    return f'<ellipse cx="9" cy="9" rx="7.2" ry="5.6" stroke="{ink}" fill="none"/>'


def g_polygon(ink, acc):
    return (f'<path d="M9 2l7 5.2-2.7 8.3H4.7L2 7.2z" stroke="{ink}" fill="none"/>')


def g_polyline(ink, acc):
    pts = [(2, 14.5), (6, 6), (11, 12), (16, 3.5)]
    d = "M" + " ".join(f"{x} {y}" for x, y in pts)
    dots = "".join(f'<circle cx="{x}" cy="{y}" r="1.4" fill="{acc}" stroke="none"/>' for x, y in pts)
    return f'<path d="{d}" stroke="{ink}" fill="none"/>' + dots


def g_pencil(ink, acc):
    return (f'<path d="M12.5 2.5l3 3-9.5 9.5H3v-3z" stroke="{ink}" fill="none"/>'
            f'<path d="M10.5 4.5l3 3" stroke="{ink}" fill="none"/>')


def g_distance(ink, acc):
    return (f'<path d="M2 8v6 M16 8v6 M2 11h14" stroke="{ink}" fill="none"/>'
            f'<path d="M4.8 9.2 2.8 11l2 1.8 M13.2 9.2l2 1.8-2 1.8" stroke="{ink}" fill="none"/>'
            f'<path d="M6.5 5.5h5" stroke="{acc}" fill="none"/>')


def g_perimeter(ink, acc):
    return (f'<path d="M3 4l12-1 .5 11.5-13 1z" stroke="{ink}" fill="none" '
            f'stroke-dasharray="2.6 1.6"/>'
            f'<circle cx="3" cy="4" r="1.4" fill="{acc}" stroke="none"/>'
            f'<circle cx="15.5" cy="14.5" r="1.4" fill="{acc}" stroke="none"/>')


def g_area(ink, acc):
    return (f'<path d="M9 2.5l7 13H2z" stroke="{ink}" fill="{acc}" fill-opacity=".3"/>')


def g_highlight_t(ink, acc):
    # The comment card's highlight icon is a "T" over the highlighter's bar.
    return (f'<rect x="2" y="13.5" width="14" height="3" rx=".6" fill="{mono(ink, HILITE)}" '
            f'fill-opacity=".55" stroke="none"/>'
            f'<path d="M3.5 2.5h11 M9 2.5v9" stroke="{ink}" fill="none"/>')


def g_pin(ink, acc):
    return (f'<path d="M9.6 2l5.4 5.4-1.8.7-2.9 2.9.3 3.2-1.3 1.3-7.3-7.3 1.3-1.3 3.2.3 2.9-2.9z" '
            f'stroke="{ink}" fill="none"/>'
            f'<path d="M5.5 11.5 2 15" stroke="{ink}" fill="none"/>')


def g_reply(ink, acc):
    return (f'<path d="M3 3h12a1 1 0 0 1 1 1v7.5a1 1 0 0 1-1 1H8.5L5 15.5v-3H3a1 1 0 0 1-1-1V4'
            f'a1 1 0 0 1 1-1z" stroke="{ink}" fill="none"/>'
            f'<path d="M5.5 6.8h7 M5.5 9.3h4.5" stroke="{ink}" fill="none"/>')


def g_link(ink, acc):
    return (f'<path d="M7.6 10.4a3.2 3.2 0 0 0 4.6.2l2.4-2.4a3.2 3.2 0 0 0-4.6-4.6L8.8 4.8" '
            f'stroke="{ink}" fill="none"/>'
            f'<path d="M10.4 7.6a3.2 3.2 0 0 0-4.6-.2L3.4 9.8a3.2 3.2 0 0 0 4.6 4.6l1.2-1.2" '
            f'stroke="{ink}" fill="none"/>')


def _doc(ink):
    return (f'<path d="M3.5 1.5h7l4 4v11h-11z" stroke="{ink}" fill="none"/>'
            f'<path d="M10.5 1.5v4h4" stroke="{ink}" fill="none"/>')


def g_doc_down(ink, acc):
    return _doc(ink) + f'<path d="M9 7.5v6.5 M6.3 11.3 9 14l2.7-2.7" stroke="{acc}" fill="none"/>'


def g_doc_cross(ink, acc):
    return _doc(ink) + f'<path d="M6.5 8.5l5 5 M11.5 8.5l-5 5" stroke="{acc}" fill="none"/>'


def g_dropdown(ink, acc):
    return ""


# ---------------------------------------------------------------------------------------------
# Helpers.


def svg(w, h, body, comment):
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<!-- {comment} -->\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n{body}</svg>\n')


def glyph(fn, x, y, scale, ink, acc, width=STROKE):
    """Places an 18 x 18 glyph at (x, y) scaled by `scale`, keeping the on-screen stroke width."""
    inner = fn(ink, acc).replace('stroke-width="1.4em"', f'stroke-width="{2.0 / scale:.3f}"')
    return (f'<g transform="translate({x} {y}) scale({scale})" stroke-width="{width / scale:.3f}" '
            f'stroke-linecap="round" stroke-linejoin="round">{inner}</g>\n')


_gradients = 0


def gradient(top, bottom):
    global _gradients
    _gradients += 1
    gid = f"g{_gradients}"
    return gid, (f'<defs><linearGradient id="{gid}" x1="0" y1="0" x2="0" y2="1">'
                 f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/>'
                 f'</linearGradient></defs>\n')


# The four cells of a hover button: normal, hover, pressed, selected. Only the surface changes.
LIGHT_CELLS = [
    ("#F4F6F9", "#E1E6EC", "#A3AFBC", 1.0),   # normal
    ("#FFFFFF", "#EAF1F8", "#6F93B8", 1.0),   # hover
    ("#C9D3DE", "#DAE1E9", "#4D6F92", 1.0),   # pressed
    ("#D6E5F5", "#C0D6EE", "#2B5C8F", 1.5),   # selected
]
DARK_CELLS = [
    ("#3A6EA5", "#2C5A88", "#1E3F61", 1.0),
    ("#4A80B9", "#3A6EA5", "#1E3F61", 1.0),
    ("#234A70", "#2C5A88", "#162F49", 1.0),
    ("#1E3F61", "#24496F", LIGHT_ACCENT, 1.5),
]


def cell_surface(x0, w, h, cell, rx=3.0, pressed=False):
    top, bottom, edge, ew = cell
    gid, defs = gradient(top, bottom)
    inset = ew / 2
    body = defs + (f'<rect x="{x0 + inset}" y="{inset}" width="{w - 2 * inset}" '
                   f'height="{h - 2 * inset}" rx="{rx}" fill="url(#{gid})" stroke="{edge}" '
                   f'stroke-width="{ew}"/>\n')
    if pressed:
        body += (f'<path d="M{x0 + 2} 1.8h{w - 4}" stroke="#000000" stroke-opacity=".12" '
                 f'stroke-width="1"/>\n')
    return body


def strip(w, h, cells, draw_glyph, rx=3.0):
    body = ""
    for i, cell in enumerate(cells):
        x0 = i * w
        body += f'<!-- cell {i}: {["normal", "hover", "pressed", "selected"][i]} -->\n'
        body += cell_surface(x0, w, h, cell, rx, pressed=(i == 2))
        body += draw_glyph(x0)
    return body


files = []  # (id, file name)


def write(art_id, name, w, h, body, comment):
    fname = f"{art_id}_{name}.svg"
    with open(os.path.join(OUT, fname), "w", encoding="utf-8") as f:
        f.write(svg(w, h, body, comment))
    files.append(fname)


# ---------------------------------------------------------------------------------------------
# The pictures.


def tool_strips():
    tools = [
        (160, "hand_tool", g_hand), (156, "text_tool", g_callout), (163, "note_tool", g_note),
        (161, "highlight_tool", g_highlight), (198, "strikeout_tool", g_strikeout),
        (162, "image_tool", g_image), (157, "attachment_tool", g_attachment),
        (166, "zoom_in", g_zoom_in), (167, "zoom_out", g_zoom_out), (277, "find_text", g_find),
        (158, "fit_to_page", g_fit), (165, "rotation", g_rotate), (262, "all_comments", g_all),
        (164, "printer", g_printer), (168, "more", g_more),
    ]
    for art_id, name, fn in tools:
        body = strip(31, 28, LIGHT_CELLS, lambda x0, fn=fn: glyph(fn, x0 + 6.5, 5, 1, INK, ACCENT))
        write(art_id, f"{name}_strip", 124, 28, body,
              f"{name.replace('_', ' ')}: tool bar button, cells normal, hover, pressed, selected")
    # The drawing and measuring buttons: the current sub-tool's picture is drawn over an empty
    # cell, which only carries the drop-down mark in its lower right corner.
    mark = lambda x0: (f'<path d="M{x0 + 24} 19.5h5l-2.5 3z" fill="{INK_SOFT}" stroke="none"/>\n')
    write(159, "drop_down_tool_strip", 124, 28, strip(31, 28, LIGHT_CELLS, mark),
          "drawing and measuring buttons: empty cells with the drop-down mark")


def workflow_strips():
    def check(ink, acc):  # check for new comments: a speech bubble with a refresh arrow
        return (f'<path d="M3 3h12a1 1 0 0 1 1 1v7.5a1 1 0 0 1-1 1H8.5L5 15.5v-3H3a1 1 0 0 1-1-1V4'
                f'a1 1 0 0 1 1-1z" stroke="{ink}" fill="none"/>'
                f'<path d="M11.6 6.2a2.9 2.9 0 1 0 .3 2.7" stroke="{acc}" fill="none"/>'
                f'<path d="M11.9 4.4v2.1H9.8" stroke="{acc}" fill="none"/>')

    def publish(ink, acc):  # publish: an upward arrow out of a tray
        return (f'<path d="M9 12V2.5 M5 6.3 9 2.3l4 4" stroke="{ink}" fill="none"/>'
                f'<path d="M2 11v4.5a1 1 0 0 0 1 1h12a1 1 0 0 0 1-1V11" stroke="{acc}" fill="none"/>')

    def finish(ink, acc):  # finish the review: a flag on its pole
        return (f'<path d="M3.5 17V1.8" stroke="{ink}" fill="none"/>'
                f'<path d="M3.5 2.5h11l-2.5 4 2.5 4h-11" stroke="{ink}" fill="{acc}" '
                f'fill-opacity=".35"/>')

    def to_original(ink, acc):  # the collected comments carried over into the original
        return (f'<path d="M1.5 5h4 M1.5 9h4 M1.5 13h4" stroke="{acc}" fill="none"/>'
                f'<path d="M10 2.5h4.5l3 3v10.5H10z" stroke="{ink}" fill="none"/>'
                f'<path d="M5.8 9h5.6 M9.4 7l2 2-2 2" stroke="{ink}" fill="none"/>')

    for art_id, name, fn in [(169, "check_new_comments", check), (171, "publish", publish),
                             (170, "finish_review", finish), (288, "publish_to_original", to_original)]:
        body = strip(35, 34, DARK_CELLS,
                     lambda x0, fn=fn: glyph(fn, x0 + 6.5, 6, 22 / 18, LIGHT, LIGHT_ACCENT, 1.75),
                     rx=4)
        write(art_id, f"{name}_strip", 140, 34, body,
              f"{name.replace('_', ' ')}: workflow button, cells normal, hover, pressed, selected")


def sub_tools():
    # Drawn over the drop-down cell at (0, 0), transparent, the glyph where the tools have theirs
    # but shifted left to leave the drop-down mark free.
    subs = [(186, "cloudy", g_cloud), (184, "arrow", g_arrow), (188, "line", g_line),
            (193, "rectangle", g_rectangle), (185, "ellipse", g_ellipse),
            (192, "polygon", g_polygon), (191, "polyline", g_polyline), (189, "pencil", g_pencil),
            (187, "distance", g_distance), (190, "perimeter", g_perimeter), (183, "area", g_area)]
    for art_id, name, fn in subs:
        write(art_id, f"{name}_sub_tool", 31, 28, glyph(fn, 4.5, 5, 1, INK, ACCENT),
              f"{name} sub-tool: drawn over the drop-down button's cell, transparent")


def turn_overlays():
    # Second overlays, drawn at (0, 2): a small badge in the lower right showing the page's
    # quarter turns, 0 to 3.
    for i, art_id in enumerate([224, 225, 226, 282]):
        ang = math.radians(-90 + 90 * i)
        cx, cy, r = 25.5, 20.5, 4.8
        tx, ty = cx + 3.2 * math.cos(ang), cy + 3.2 * math.sin(ang)
        body = (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{ACCENT}" stroke="#FFFFFF" '
                f'stroke-width="1"/>\n'
                f'<path d="M{cx} {cy}L{tx:.2f} {ty:.2f}" stroke="#FFFFFF" stroke-width="{STROKE}" '
                f'stroke-linecap="round"/>\n'
                f'<circle cx="{cx}" cy="{cy}" r="1" fill="#FFFFFF"/>\n')
        write(art_id, f"overlay_turn_{i}", 31, 26, body,
              f"second overlay: badge for {i} quarter turns, transparent")


def menu_icons():
    items = [(241, "zoom_in", g_zoom_in), (242, "zoom_out", g_zoom_out), (235, "find_text", g_find),
             (236, "fit_to_page", g_fit), (240, "rotation", g_rotate), (237, "all_comments", g_all),
             (239, "printer", g_printer)]
    for art_id, name, fn in items:
        write(art_id, f"{name}_menu_icon", 16, 16, glyph(fn, 0, 0, 16 / 18, LIGHT, LIGHT_ACCENT),
              f"{name.replace('_', ' ')}: more-menu icon on the dark blue menu")
    write(450, "agree_menu_icon", 16, 16, glyph(g_doc_down, 0, 0, 16 / 18, LIGHT, GOOD),
          "apply / agree: card menu icon, a document with a down arrow")
    write(451, "disagree_menu_icon", 16, 16, glyph(g_doc_cross, 0, 0, 16 / 18, LIGHT, BAD),
          "do not apply / disagree: card menu icon, a document with a cross")


def window_pictures():
    gid, defs = gradient("#CDD1D6", "#C3C7CD")
    write(130, "left_panel_tile", 246, 8,
          defs + f'<rect width="246" height="8" fill="url(#{gid})"/>\n'
          f'<rect x="244" width="1" height="8" fill="#D9DCE0"/>\n'
          f'<rect x="245" width="1" height="8" fill="#8E949C"/>\n',
          "left panel behind the comment list, tiled down the left edge")
    write(146, "tool_strip_tile", 48, 8,
          f'<rect width="48" height="8" fill="{SLATE}"/>\n'
          f'<rect width="1" height="8" fill="{SLATE_DARK}"/>\n'
          f'<rect x="1" width="1" height="8" fill="{SLATE_LIGHT}"/>\n',
          "tool strip down the right edge, tiled")
    gid, defs = gradient(SLATE, "#2E3D4D")
    write(149, "workflow_panel", 48, 153,
          defs + f'<rect width="48" height="153" fill="url(#{gid})"/>\n'
          f'<rect width="1" height="153" fill="{SLATE_DARK}"/>\n'
          f'<rect x="1" width="1" height="153" fill="{SLATE_LIGHT}"/>\n'
          f'<rect x="6" y="0" width="38" height="1" fill="{SLATE_DARK}"/>\n'
          f'<rect x="6" y="1" width="38" height="1" fill="{SLATE_LIGHT}"/>\n',
          "panel behind the workflow buttons at the bottom of the tool strip")
    write(150, "new_comment_badge", 48, 46,
          f'<rect width="48" height="46" fill="{SLATE}"/>\n'
          f'<rect width="1" height="46" fill="{SLATE_DARK}"/>\n'
          f'<rect x="1" width="1" height="46" fill="{SLATE_LIGHT}"/>\n'
          f'<path d="M20 34.5 24 40l4-5.5z" fill="{WARN}"/>\n'
          f'<rect x="8.5" y="11.5" width="31" height="23" rx="11.5" fill="{WARN}" '
          f'stroke="#E9A79C" stroke-width="1"/>\n',
          "new-comment badge: the count is written over it in white, centred")


def app_icon():
    gid, defs = gradient("#3A6EA5", ACCENT_DARK)
    body = (defs + f'<rect x="8" y="8" width="240" height="240" rx="44" fill="url(#{gid})"/>\n'
            f'<path d="M72 44h76l44 44v124a8 8 0 0 1-8 8H72a8 8 0 0 1-8-8V52a8 8 0 0 1 8-8z" '
            f'fill="#F4F7FA"/>\n'
            f'<path d="M148 44v36a8 8 0 0 0 8 8h36z" fill="#C9D6E3"/>\n'
            f'<path d="M88 112h64 M88 138h44" stroke="{INK_SOFT}" stroke-width="12" '
            f'stroke-linecap="round"/>\n'
            f'<path d="M206 92 128 170l-12 34 34-12 78-78z" fill="{HILITE}" stroke="{ACCENT_DARK}" '
            f'stroke-width="10" stroke-linejoin="round"/>\n'
            f'<path d="M116 204l12-34 22 22z" fill="{ACCENT_DARK}"/>\n')
    write(128, "application_icon", 256, 256, body,
          "application icon: a page with a pen over it, drawn at 256 and scaled down")


def comment_panel():
    sort = lambda x0: (f'<g stroke-linecap="round" stroke-width="{STROKE}" fill="none">'
                       f'<path d="M{x0 + 4.5} 6h8 M{x0 + 4.5} 10h6 M{x0 + 4.5} 14h4" stroke="{INK}"/>'
                       f'<path d="M{x0 + 18} 5v10 M{x0 + 15.5} 12.5 {x0 + 18} 15l2.5-2.5" '
                       f'stroke="{ACCENT}" stroke-linejoin="round"/></g>\n')
    write(400, "sort_button_strip", 100, 20, strip(25, 20, LIGHT_CELLS, sort),
          "sort button beside the search field, cells normal, hover, pressed, selected")

    cards = [(410, "blue", "#427EBD"), (411, "green", "#4E9450"), (412, "grey", "#868483")]
    for art_id, name, colour in cards:
        for selected in (False, True):
            body = (f'<rect width="203" height="82" fill="#D8D9DE"/>\n'
                    f'<rect x="2" y="2" width="199" height="78" rx="4" fill="{colour}"/>\n'
                    f'<rect x="2.5" y="2.5" width="198" height="77" rx="3.5" fill="none" '
                    f'stroke="#FFFFFF" stroke-opacity=".18"/>\n')
            if selected:
                body += '<rect x="2" y="2" width="4" height="78" rx="1" fill="#95FFF0"/>\n'
            write(art_id + (3 if selected else 0), f"{name}_card{'_selected' if selected else ''}",
                  203, 82, body, f"comment card background, {name}"
                  + (", selected: cyan marker on its left edge" if selected else ""))

    write(420, "pin_card_icon", 17, 17, glyph(g_pin, 0, 0, 17 / 18, "#FFFFFF", "#FFFFFF"),
          "card icon: pin, white on transparent")
    write(421, "reply_card_icon", 17, 17, glyph(g_reply, 0, 0, 17 / 18, "#FFFFFF", "#FFFFFF"),
          "card icon: replies, white on transparent")
    write(422, "link_card_icon", 16, 16, glyph(g_link, 0, 0, 16 / 18, "#FFFFFF", "#FFFFFF"),
          "card icon: web link, white on transparent")
    types = [g_cloud, g_arrow, g_line, g_rectangle, g_ellipse, g_polygon, g_polyline, g_pencil,
             g_distance, g_perimeter, g_area, g_callout, g_note, g_attachment, g_highlight_t,
             g_strikeout, g_image]
    names = ["cloud", "arrow", "line", "rectangle", "ellipse", "polygon", "polyline", "pencil",
             "distance", "perimeter", "area", "callout", "note", "attachment", "highlight",
             "strikeout", "image"]
    for code, (fn, name) in enumerate(zip(types, names)):
        write(430 + code, f"{name}_type_icon", 16, 16,
              glyph(fn, 0, 0, 16 / 18, "#FFFFFF", "#FFFFFF"),
              f"card type icon for a {name} comment, white on transparent")


def corner_runs(radius):
    """Cut pixels per row of a rounded corner: row y (from the edge) drops runs[y] pixels."""
    runs = []
    for y in range(radius):
        n = 0
        for x in range(radius):
            dx, dy = radius - (x + 0.5), radius - (y + 0.5)
            if dx * dx + dy * dy > radius * radius:
                n += 1
        runs.append(n)
    return runs


def dialog_background(art_id, name, w, h, comment):
    # Pixel-aligned rectangles only: the cut and the border stay crisp at 1x and 2x, so no
    # blended near-red pixel ever lands on the window's edge.
    r = 6
    runs = corner_runs(r)
    gid, defs = gradient("#FFFFFF", "#E8ECF1")
    body = defs + '<g shape-rendering="crispEdges">\n'
    body += f'<rect width="{w}" height="{h}" fill="#F3F5F8"/>\n'
    body += f'<rect width="{w}" height="46" fill="url(#{gid})"/>\n'
    body += f'<rect x="1" y="46" width="{w - 2}" height="1" fill="#CBD3DC"/>\n'
    body += f'<rect x="{r}" y="1" width="{w - 2 * r}" height="2" fill="{ACCENT}"/>\n'
    edge = "#7D8B9A"
    rows = []  # (y, cut) for every row with a corner
    for y in range(h):
        if y < r:
            cut = runs[y]
        elif y >= h - r:
            cut = runs[h - 1 - y]
        else:
            cut = 0
        rows.append(cut)
    for y, cut in enumerate(rows):
        if cut:
            body += f'<rect x="0" y="{y}" width="{cut}" height="1" fill="{CUT}"/>'
            body += f'<rect x="{w - cut}" y="{y}" width="{cut}" height="1" fill="{CUT}"/>\n'
    # The border: the top and bottom rows whole, each other row its first and last kept pixels,
    # widened where the corner steps so the outline has no gap.
    body += f'<rect x="{rows[0]}" y="0" width="{w - 2 * rows[0]}" height="1" fill="{edge}"/>\n'
    body += f'<rect x="{rows[-1]}" y="{h - 1}" width="{w - 2 * rows[-1]}" height="1" fill="{edge}"/>\n'
    for y in range(1, h - 1):
        cut = rows[y]
        neighbour = rows[y - 1] if y < h / 2 else rows[y + 1]
        run = max(1, neighbour - cut)
        body += (f'<rect x="{cut}" y="{y}" width="{run}" height="1" fill="{edge}"/>'
                 f'<rect x="{w - cut - run}" y="{y}" width="{run}" height="1" fill="{edge}"/>\n')
    body += '</g>\n'
    write(art_id, name, w, h, body, comment)


def dialogs():
    dialog_background(460, "review_dialog_background", 314, 196,
                      "review decision dialog: background, pure red corners are cut away")
    dialog_background(461, "participant_finish_background", 314, 275,
                      "participant finish dialog: background, pure red corners are cut away")
    dialog_background(462, "initiator_finish_background", 314, 310,
                      "initiator finish dialog: background, pure red corners are cut away")

    write(463, "finish_dialog_icon", 24, 24,
          f'<circle cx="12" cy="12" r="10.5" fill="{ACCENT}" stroke="{ACCENT_DARK}" stroke-width="1"/>\n'
          f'<path d="M7 12.3l3.3 3.3L17 8.8" stroke="#FFFFFF" stroke-width="2" fill="none" '
          f'stroke-linecap="round" stroke-linejoin="round"/>\n',
          "finish dialogs: the icon beside the title")

    def close_cell(x0):
        return (f'<path d="M{x0 + 19.5} 6.5l7 7 M{x0 + 26.5} 6.5l-7 7" stroke="{INK}" '
                f'stroke-width="{STROKE}" stroke-linecap="round"/>\n')
    body = ""
    for i, cell in enumerate(LIGHT_CELLS):
        top, bottom, edge, ew = cell
        gid, defs = gradient(top, bottom)
        x0 = i * 47
        body += defs + (f'<path d="M{x0 + 0.5} 0v15.5a4 4 0 0 0 4 4h38a4 4 0 0 0 4-4V0" '
                        f'fill="url(#{gid})" stroke="{edge}" stroke-width="{ew}"/>\n')
        body += close_cell(x0)
    write(470, "close_button_strip", 188, 20, body,
          "dialog close button, a tab hanging from the top edge: normal, hover, pressed, selected")

    def ok_cell(x0):
        return (f'<g stroke="#FFFFFF" stroke-width="2" fill="none" stroke-linecap="round" '
                f'stroke-linejoin="round"><ellipse cx="{x0 + 27.5}" cy="14.5" rx="4.3" ry="5.5"/>'
                f'<path d="M{x0 + 35.5} 9v11 M{x0 + 41.5} 9l-5.6 6.2 M{x0 + 37.6} 13l4.2 7"/>'
                f'</g>\n')
    write(471, "ok_button_strip", 264, 29, strip(66, 29, DARK_CELLS, ok_cell, rx=4),
          "dialog OK button, cells normal, hover, pressed, selected")


def spinner():
    body = ""
    for i in range(20):
        cx, cy, r = 25 * i + 12.5, 12.5, 9
        a0 = math.radians(-90 + 18 * i)
        a1 = a0 + math.radians(110)
        x0, y0 = cx + r * math.cos(a0), cy + r * math.sin(a0)
        x1, y1 = cx + r * math.cos(a1), cy + r * math.sin(a1)
        body += (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="none" stroke="#FFFFFF" '
                 f'stroke-opacity=".28" stroke-width="3"/>'
                 f'<path d="M{x0:.2f} {y0:.2f}A{r} {r} 0 0 1 {x1:.2f} {y1:.2f}" fill="none" '
                 f'stroke="#FFFFFF" stroke-width="3" stroke-linecap="round"/>\n')
    write(401, "spinner_wheel_strip", 500, 25, body,
          "waiting spinner: 20 frames of 25 x 25, the wheel turning by 18 degrees a frame")


def main():
    os.makedirs(OUT, exist_ok=True)
    for old in os.listdir(OUT):
        if old.endswith(".svg"):
            os.remove(os.path.join(OUT, old))
    tool_strips()
    workflow_strips()
    sub_tools()
    turn_overlays()
    menu_icons()
    window_pictures()
    app_icon()
    comment_panel()
    dialogs()
    spinner()
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '<qresource prefix="/">']
    lines += [f"    <file>art/{f}</file>" for f in sorted(files, key=lambda n: int(n.split('_')[0]))]
    lines += ['</qresource>', '</RCC>', '']
    with open(os.path.join(HERE, "art.qrc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    print(f"{len(files)} pictures written to {OUT}")


if __name__ == "__main__":
    main()

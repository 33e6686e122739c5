/* Draws the Kelvorantumix panel artwork: the five PNGs the editor loads as resources 100-104.
 * Run by tools/artwork/make-artwork.sh; the PNGs are committed, so plug-in builds never need
 * Cairo. Usage: kvx-artwork OUTPUT_FOLDER */

#include <cairo.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

#define PANEL_W 465
#define PANEL_H 336
#define KNOB 80
#define KNOB_FRAMES 65
#define SWITCH 40
#define LED 8
#define ABOUT_W 319
#define ABOUT_H 225

/* The knob turns through 270 degrees: frame 1 points at 7:30, frame 65 at 4:30. */
#define SWEEP_START (-0.75 * M_PI)
#define SWEEP_SPAN (1.5 * M_PI)

static const char* kFont = "DejaVu Sans";
static const char* kFontCondensed = "DejaVu Sans Condensed";

static const struct {
    const char* name;
    int x;
} kKnobs[] = {{"LEVEL", 29}, {"LOW", 109}, {"MID", 189}, {"HIGH", 269}, {"DRIVE", 349}};
static const int kKnobTop = 81;

static void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

static void CentredText(cairo_t* cr, const char* face, int bold, double size, double cx,
                        double baseline, const char* text) {
    cairo_text_extents_t ext;
    cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents(cr, text, &ext);
    cairo_move_to(cr, cx - ext.width / 2 - ext.x_bearing, baseline);
    cairo_show_text(cr, text);
}

/* Text with a dark drop shadow below and a faint highlight above: printed onto the enclosure. */
static void PrintedText(cairo_t* cr, const char* face, int bold, double size, double cx,
                        double baseline, const char* text, double r, double g, double b) {
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    CentredText(cr, face, bold, size, cx, baseline + 1, text);
    cairo_set_source_rgb(cr, r, g, b);
    CentredText(cr, face, bold, size, cx, baseline, text);
}

/* A deterministic pseudo-random sequence, so the brushed texture is the same on every run. */
static unsigned gSeed = 0x4b5658u;
static double Random01(void) {
    gSeed = gSeed * 1664525u + 1013904223u;
    return (gSeed >> 8) / 16777216.0;
}

static void Screw(cairo_t* cr, double cx, double cy, double angle) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 2, cy - 2, 1, cx, cy, 7);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.92, 0.92, 0.9);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.38, 0.38, 0.38);
    cairo_arc(cr, cx, cy, 6.5, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.85);
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, -4.5, 0);
    cairo_line_to(cr, 4.5, 0);
    cairo_move_to(cr, 0, -4.5);
    cairo_line_to(cr, 0, 4.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

static void KnobScale(cairo_t* cr, double cx, double cy) {
    for (int i = 0; i <= 10; ++i) {
        const double a = SWEEP_START + SWEEP_SPAN * i / 10.0;
        const double inner = 37.5, outer = (i == 0 || i == 5 || i == 10) ? 43.5 : 41.0;
        cairo_move_to(cr, cx + inner * sin(a), cy - inner * cos(a));
        cairo_line_to(cr, cx + outer * sin(a), cy - outer * cos(a));
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 1.6);
    cairo_set_source_rgb(cr, 0.13, 0.13, 0.14);
    cairo_stroke(cr);
}

static void Background(const char* folder) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, PANEL_W, PANEL_H);
    cairo_t* cr = cairo_create(s);

    /* Behind the enclosure. */
    cairo_set_source_rgb(cr, 0.07, 0.07, 0.08);
    cairo_paint(cr);

    /* The enclosure: deep oxblood powder coat with a soft top light. */
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, PANEL_H);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.55, 0.09, 0.08);
    cairo_pattern_add_color_stop_rgb(body, 0.55, 0.40, 0.05, 0.05);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.24, 0.03, 0.03);
    RoundedRect(cr, 3, 3, PANEL_W - 6, PANEL_H - 6, 18);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    cairo_set_source_rgba(cr, 1, 0.8, 0.7, 0.35);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);

    /* Powder-coat grain. */
    for (int i = 0; i < 9000; ++i) {
        const double x = 8 + Random01() * (PANEL_W - 16), y = 8 + Random01() * (PANEL_H - 16);
        const double shade = Random01();
        cairo_set_source_rgba(cr, shade, shade * 0.6, shade * 0.5, 0.05);
        cairo_rectangle(cr, x, y, 1, 1);
        cairo_fill(cr);
    }

    /* The control plate: brushed aluminium strip behind the knobs. */
    cairo_pattern_t* plate = cairo_pattern_create_linear(0, 64, 0, 190);
    cairo_pattern_add_color_stop_rgb(plate, 0, 0.80, 0.80, 0.78);
    cairo_pattern_add_color_stop_rgb(plate, 0.5, 0.62, 0.62, 0.60);
    cairo_pattern_add_color_stop_rgb(plate, 1, 0.72, 0.72, 0.70);
    RoundedRect(cr, 18, 64, PANEL_W - 36, 126, 10);
    cairo_set_source(cr, plate);
    cairo_fill(cr);
    cairo_pattern_destroy(plate);
    for (int y = 66; y < 188; ++y) {
        const double shade = Random01();
        cairo_set_source_rgba(cr, shade, shade, shade, 0.10);
        cairo_rectangle(cr, 22, y, PANEL_W - 44, 1);
        cairo_fill(cr);
    }
    RoundedRect(cr, 18.5, 64.5, PANEL_W - 37, 125, 10);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    /* Recessed wells and scales for the knobs, labels under them. */
    for (int i = 0; i < 5; ++i) {
        const double cx = kKnobs[i].x + KNOB / 2.0, cy = kKnobTop + KNOB / 2.0;
        cairo_pattern_t* well = cairo_pattern_create_radial(cx, cy, 28, cx, cy, 36);
        cairo_pattern_add_color_stop_rgba(well, 0, 0, 0, 0, 0.55);
        cairo_pattern_add_color_stop_rgba(well, 1, 0, 0, 0, 0);
        cairo_arc(cr, cx, cy + 2, 36, 0, 2 * M_PI);
        cairo_set_source(cr, well);
        cairo_fill(cr);
        cairo_pattern_destroy(well);
        cairo_save(cr);
        KnobScale(cr, cx, cy);
        cairo_restore(cr);
        cairo_set_source_rgb(cr, 0.13, 0.13, 0.14);
        CentredText(cr, kFontCondensed, 1, 11, cx, kKnobTop + KNOB + 19, kKnobs[i].name);
    }

    /* Maker's badge: the about box opens from here. */
    RoundedRect(cr, 37.5, 26.5, 99, 24, 5);
    cairo_set_source_rgb(cr, 0.10, 0.09, 0.09);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.78, 0.66, 0.45);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.90, 0.78, 0.55);
    CentredText(cr, kFont, 1, 10.5, 87, 42.5, "wexmoradine");

    /* Product name. */
    PrintedText(cr, kFont, 1, 25, 295, 48, "KELVORANTUMIX", 0.97, 0.92, 0.82);

    /* Footswitch bay: LEDs, switch rings and their names. */
    const struct {
        int ledX, switchX;
        const char* name;
    } bays[] = {{104, 88, "VORTALIZER"}, {346, 330, "EFFECT"}};
    for (int i = 0; i < 2; ++i) {
        const double lx = bays[i].ledX + LED / 2.0, ly = 230 + LED / 2.0;
        cairo_arc(cr, lx, ly, 6.5, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.72, 0.70, 0.66);
        cairo_fill(cr);
        cairo_arc(cr, lx, ly, 5, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
        cairo_fill(cr);
        const double sx = bays[i].switchX + SWITCH / 2.0, sy = 241 + SWITCH / 2.0;
        cairo_arc(cr, sx, sy + 1.5, 23, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
        cairo_fill(cr);
        PrintedText(cr, kFontCondensed, 1, 12, sx, 305, bays[i].name, 0.97, 0.92, 0.82);
    }

    /* Between the switches: what the box is. */
    PrintedText(cr, kFont, 1, 15, PANEL_W / 2.0, 246, "GUITAR DISTORTION", 0.97, 0.92, 0.82);
    cairo_set_source_rgba(cr, 0.97, 0.86, 0.70, 0.75);
    CentredText(cr, kFontCondensed, 0, 10, PANEL_W / 2.0, 263, "three-branch saturation");
    CentredText(cr, kFontCondensed, 0, 10, PANEL_W / 2.0, 277, "with vortex reverb");
    cairo_set_source_rgba(cr, 0.97, 0.86, 0.70, 0.5);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 175, 286.5);
    cairo_line_to(cr, 290, 286.5);
    cairo_stroke(cr);

    Screw(cr, 18, 18, 0.3);
    Screw(cr, PANEL_W - 18, 18, 1.1);
    Screw(cr, 18, PANEL_H - 18, 0.7);
    Screw(cr, PANEL_W - 18, PANEL_H - 18, 1.4);

    char path[1024];
    snprintf(path, sizeof path, "%s/background.png", folder);
    cairo_surface_write_to_png(s, path);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

static void KnobFrame(cairo_t* cr, double top, double value) {
    const double cx = KNOB / 2.0, cy = top + KNOB / 2.0;
    const double angle = SWEEP_START + SWEEP_SPAN * value;

    /* Shadow on the panel. */
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx + 1.5, cy + 3, 24, cx + 1.5, cy + 3, 34);
    cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0);
    cairo_arc(cr, cx + 1.5, cy + 3, 34, 0, 2 * M_PI);
    cairo_set_source(cr, shadow);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);

    /* Knurled black skirt: ridges turn with the knob. */
    cairo_arc(cr, cx, cy, 30, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.06, 0.06, 0.06);
    cairo_fill(cr);
    for (int i = 0; i < 48; ++i) {
        const double a = angle + 2 * M_PI * i / 48.0;
        const double light = 0.5 + 0.5 * cos(a + 0.8);
        cairo_move_to(cr, cx + 25.5 * sin(a), cy - 25.5 * cos(a));
        cairo_line_to(cr, cx + 29.5 * sin(a), cy - 29.5 * cos(a));
        cairo_set_source_rgba(cr, 0.55, 0.55, 0.55, 0.15 + 0.45 * light);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }

    /* Domed cap with a fixed top-left light, brushed aluminium. */
    cairo_pattern_t* cap = cairo_pattern_create_linear(cx - 22, cy - 22, cx + 22, cy + 22);
    cairo_pattern_add_color_stop_rgb(cap, 0, 0.30, 0.30, 0.31);
    cairo_pattern_add_color_stop_rgb(cap, 1, 0.08, 0.08, 0.09);
    cairo_arc(cr, cx, cy, 24, 0, 2 * M_PI);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    cairo_pattern_t* face = cairo_pattern_create_radial(cx - 6, cy - 8, 2, cx, cy, 19);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.93, 0.93, 0.92);
    cairo_pattern_add_color_stop_rgb(face, 0.7, 0.62, 0.62, 0.63);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.40, 0.40, 0.42);
    cairo_arc(cr, cx, cy, 18.5, 0, 2 * M_PI);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    for (int r = 3; r < 18; r += 2) {
        cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    }

    /* Pointer: a cream line from the cap to the skirt's edge. */
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx + 9 * sin(angle), cy - 9 * cos(angle));
    cairo_line_to(cr, cx + 28 * sin(angle), cy - 28 * cos(angle));
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_move_to(cr, cx + 9 * sin(angle), cy - 9 * cos(angle));
    cairo_line_to(cr, cx + 28 * sin(angle), cy - 28 * cos(angle));
    cairo_set_source_rgb(cr, 1.0, 0.93, 0.78);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

static void Knob(const char* folder) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, KNOB, KNOB * KNOB_FRAMES);
    cairo_t* cr = cairo_create(s);
    for (int f = 0; f < KNOB_FRAMES; ++f) {
        cairo_save(cr);
        cairo_rectangle(cr, 0, f * KNOB, KNOB, KNOB);
        cairo_clip(cr);
        KnobFrame(cr, f * KNOB, f / (double)(KNOB_FRAMES - 1));
        cairo_restore(cr);
    }
    char path[1024];
    snprintf(path, sizeof path, "%s/kvx_knob_01.png", folder);
    cairo_surface_write_to_png(s, path);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

static void SwitchFrame(cairo_t* cr, double top, int pressed) {
    const double cx = SWITCH / 2.0, cy = top + SWITCH / 2.0;
    /* Hex nut. */
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) {
        const double a = M_PI / 6 + i * M_PI / 3;
        cairo_line_to(cr, cx + 19 * cos(a), cy + 19 * sin(a));
    }
    cairo_close_path(cr);
    cairo_pattern_t* nut = cairo_pattern_create_linear(0, top, 0, top + SWITCH);
    cairo_pattern_add_color_stop_rgb(nut, 0, 0.90, 0.90, 0.88);
    cairo_pattern_add_color_stop_rgb(nut, 1, 0.42, 0.42, 0.42);
    cairo_set_source(cr, nut);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(nut);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    /* Plunger: pressed it sinks and loses its highlight. */
    const double r = pressed ? 11 : 12.5, dy = pressed ? 1.2 : 0;
    cairo_arc(cr, cx, cy + dy + 1.5, r + 1, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 0, 0, 0, pressed ? 0.3 : 0.5);
    cairo_fill(cr);
    cairo_pattern_t* cap = cairo_pattern_create_radial(cx - 4, cy + dy - 5, 1, cx, cy + dy, r);
    cairo_pattern_add_color_stop_rgb(cap, 0, pressed ? 0.78 : 1.0, pressed ? 0.78 : 1.0,
                                     pressed ? 0.76 : 0.98);
    cairo_pattern_add_color_stop_rgb(cap, 1, pressed ? 0.35 : 0.50, pressed ? 0.35 : 0.50,
                                     pressed ? 0.35 : 0.50);
    cairo_arc(cr, cx, cy + dy, r, 0, 2 * M_PI);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
}

static void Footswitch(const char* folder) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, SWITCH, SWITCH * 2);
    cairo_t* cr = cairo_create(s);
    SwitchFrame(cr, 0, 0);
    SwitchFrame(cr, SWITCH, 1);
    char path[1024];
    snprintf(path, sizeof path, "%s/kvx_button_01.png", folder);
    cairo_surface_write_to_png(s, path);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

static void Led(const char* folder) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, LED, LED * 2);
    cairo_t* cr = cairo_create(s);
    for (int lit = 0; lit < 2; ++lit) {
        const double cx = LED / 2.0, cy = lit * LED + LED / 2.0;
        cairo_pattern_t* p = cairo_pattern_create_radial(cx - 1, cy - 1, 0.3, cx, cy, 4);
        if (lit) {
            cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.95, 0.85);
            cairo_pattern_add_color_stop_rgb(p, 0.45, 1.0, 0.25, 0.12);
            cairo_pattern_add_color_stop_rgb(p, 1, 0.75, 0.05, 0.02);
        } else {
            cairo_pattern_add_color_stop_rgb(p, 0, 0.45, 0.22, 0.20);
            cairo_pattern_add_color_stop_rgb(p, 1, 0.20, 0.03, 0.03);
        }
        cairo_arc(cr, cx, cy, 3.8, 0, 2 * M_PI);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    char path[1024];
    snprintf(path, sizeof path, "%s/kvx_led_01.png", folder);
    cairo_surface_write_to_png(s, path);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

static void About(const char* folder) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, ABOUT_W, ABOUT_H);
    cairo_t* cr = cairo_create(s);
    RoundedRect(cr, 4, 6, ABOUT_W - 8, ABOUT_H - 8, 14);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_fill(cr);
    cairo_pattern_t* bg = cairo_pattern_create_linear(0, 0, 0, ABOUT_H);
    cairo_pattern_add_color_stop_rgba(bg, 0, 0.13, 0.12, 0.12, 0.97);
    cairo_pattern_add_color_stop_rgba(bg, 1, 0.05, 0.05, 0.05, 0.97);
    RoundedRect(cr, 1.5, 1.5, ABOUT_W - 7, ABOUT_H - 7, 12);
    cairo_set_source(cr, bg);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(bg);
    cairo_set_source_rgb(cr, 0.78, 0.66, 0.45);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);

    const double cx = (ABOUT_W - 4) / 2.0;
    cairo_set_source_rgb(cr, 0.97, 0.92, 0.82);
    CentredText(cr, kFont, 1, 22, cx, 46, "KELVORANTUMIX");
    cairo_set_source_rgb(cr, 0.85, 0.25, 0.18);
    CentredText(cr, kFontCondensed, 1, 12, cx, 66, "GUITAR DISTORTION  \xC2\xB7  VERSION 1.2.0");
    cairo_set_source_rgba(cr, 0.78, 0.66, 0.45, 0.6);
    cairo_move_to(cr, 40, 80.5);
    cairo_line_to(cr, ABOUT_W - 44, 80.5);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.86, 0.84, 0.80);
    const char* lines[] = {"Three saturating branches, a three-band tone", "stack and a voicing chain,",
                           "all in double precision.", "Vortalizer: stereo vortex reverb."};
    for (int i = 0; i < 4; ++i) {
        CentredText(cr, kFontCondensed, 0, 12, cx, 104 + 18 * i, lines[i]);
    }
    cairo_set_source_rgb(cr, 0.90, 0.78, 0.55);
    CentredText(cr, kFont, 1, 12, cx, 188, "wexmoradine");
    cairo_set_source_rgba(cr, 0.86, 0.84, 0.80, 0.55);
    CentredText(cr, kFontCondensed, 0, 10, cx, 205, "click to close");

    char path[1024];
    snprintf(path, sizeof path, "%s/kvx_about.png", folder);
    cairo_surface_write_to_png(s, path);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: kvx-artwork OUTPUT_FOLDER\n");
        return 2;
    }
    Background(argv[1]);
    Knob(argv[1]);
    Footswitch(argv[1]);
    Led(argv[1]);
    About(argv[1]);
    return 0;
}

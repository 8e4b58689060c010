#ifndef VAPORIA_API_H
#define VAPORIA_API_H
/*
 * The flat C interface of the cores, for a face that is not C++ (the browser's TypeScript
 * through WebAssembly). One program state lives behind it: settings, vapour-pressure table,
 * scenario, molecule field, graph panel and the main screen's run-time state, as the desktop
 * window holds them. The face reads its controls, calls these functions, and draws what they
 * return; it decides no number, byte or pixel itself.
 *
 * Built for the browser by tools/build_wasm.sh into build-wasm/vaporia_core.js: one file with
 * the wasm inside, defining createVaporiaCore(options) -> Promise<Module>, on which every
 * function below is Module._vaporia_..., and ccall, cwrap, UTF8ToString, stringToUTF8,
 * lengthBytesUTF8 and HEAPU8 are available.
 *
 * Conventions
 * - Texts in and out are UTF-8 and NUL-terminated.
 * - A returned `const char*` or byte pointer points into memory the core owns. It stays
 *   valid until the next call of any vaporia_ function: copy it at once (UTF8ToString does).
 * - Pixel pointers (field, graph) stay valid for the life of the module; the pixels are RGBA,
 *   8 bits each, rows top to bottom without padding, alpha always 255.
 * - The module's memory may grow on any call: take Module.HEAPU8 anew after a call rather
 *   than keeping a view of it.
 * - Large inputs (a CONFIG.INI, a .so1 file) are written into the buffer vaporia_input
 *   returns, then passed by pointer; short texts may be passed any way the caller likes.
 * - Functions that change what the face shows return a set of VAPORIA_CHANGED_* bits; the
 *   face redraws what they name and nothing else.
 * - Nothing here blocks, allocates on the frame path, or ends the program on any input.
 * - Temperatures and pressures are in the units of the current settings, as shown.
 */
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What a call changed, for the face to redraw. */
enum {
    VAPORIA_CHANGED_TEMPERATURE = 1 << 0, /* the temperature text (ramp, scenario step, spinner) */
    VAPORIA_CHANGED_READOUT = 1 << 1,     /* the pressure readout text */
    VAPORIA_CHANGED_FIELD = 1 << 2,       /* the field's pixels */
    VAPORIA_CHANGED_GRAPH = 1 << 3,       /* the graph's pixels or its labels */
    VAPORIA_CHANGED_LIQUID = 1 << 4,      /* the liquid selection (vaporia_liquid) */
    VAPORIA_CHANGED_SETTINGS = 1 << 5,    /* settings in memory: unit and amount labels */
    VAPORIA_CHANGED_PLAYBACK = 1 << 6,    /* playback on/off or position */
    VAPORIA_CHANGED_GRAPH_SHOWN = 1 << 7, /* graph shown/hidden (picGrphSw's picture) */
    VAPORIA_CHANGED_SCENARIO = 1 << 8,    /* the scenario in use (title, steps) */
    VAPORIA_CHANGED_VALUES_KIND = 1 << 9, /* the data-book values switched on or off */
    VAPORIA_CHANGED_NOTICE = 1 << 10,     /* a notice to show once: vaporia_take_notice() */
    VAPORIA_CHANGED_MOTION = 1 << 11,     /* the molecules' motion stopped or started */
    VAPORIA_CHANGED_MARKERS = 1 << 12     /* the colour-vision choice of markers on or off */
};

/* Returned by vaporia_next_wake_ms when nothing is scheduled. */
#define VAPORIA_NO_WAKE (-1)

/* ---- Life and memory ---------------------------------------------------------------- */

/* Starts (or restarts) the program state as the desktop starts: default settings, the
 * specified table, Water, graph shown, playback off, an empty scenario, an empty temperature
 * text, the field laid out from the time of day (seconds since local midnight, with a
 * fraction), the graph grid drawn. now_ms is the face's monotonic clock (performance.now()),
 * which every later call that takes now_ms continues. Returns 1. */
int vaporia_init(double time_of_day_seconds, double now_ms);

/* A buffer of at least size bytes (plus one NUL byte after them) owned by the core, for
 * passing large inputs; valid until the next vaporia_input call. NULL if size is beyond
 * 16 MiB. */
uint8_t* vaporia_input(size_t size);

/* The program's version, "1.0.0". */
const char* vaporia_version(void);

/* ---- Activation and settings ---------------------------------------------------------- */

/* The main window's activation: loads the settings from CONFIG.INI text (NULL or "" gives
 * the defaults; values out of their limits give that key's default), redraws the empty graph
 * grid, refreshes the freezing and full-evaporation temperatures, replans the tick. Runs at
 * start and after every dialog closes, as on the desktop. Returns changed bits; with
 * VAPORIA_CHANGED_NOTICE, vaporia_take_notice() says which values gave way to defaults. */
int vaporia_activate(const char* config_ini, double now_ms);
/* The notice the last call raised (VAPORIA_CHANGED_NOTICE), handed over once; "" if none. */
const char* vaporia_take_notice(void);

/* The settings in memory as CONFIG.INI text: `old_text` (what the storage holds, may be NULL)
 * with the eight keys of section DATA set and every other line kept. */
const char* vaporia_settings_to_ini(const char* old_text);

/* The settings in memory, one by one. which: 0 container, 1 mol, 2 temperatureUnit,
 * 3 pressureUnit, 4 grphWMin, 5 grphWMax, 6 grphHMin, 7 grphHMax. */
double vaporia_setting(int which);
/* The same setting as the settings dialog shows it in its box ("30", "-50", "0.5"). */
const char* vaporia_setting_text(int which);

/* The settings dialog's 閉じる: the two unit list positions and the six boxes' texts as
 * typed; a box that holds no number keeps the value in memory. Returns changed bits. The face
 * then stores vaporia_settings_to_ini(...) and calls vaporia_activate with what it stored.
 * Values the model cannot show are refused and nothing is taken: then -1 - n, n the first
 * box at fault (0 amount, 1 volume, 2 temperature range, 3 pressure range), and
 * vaporia_error_text() names it and the range it takes. */
int vaporia_settings_take(int temperature_unit, int pressure_unit, const char* grph_w_min,
                          const char* grph_w_max, const char* press_w_min,
                          const char* press_w_max, const char* container, const char* mol);

/* The settings dialog's 既定値: the defaults into memory (the dialog then refills). */
void vaporia_settings_defaults(void);

/* The same setting as the settings dialog would show it, read from CONFIG.INI text as the
 * activation reads it, leaving the settings in memory alone (a face compares what another
 * copy of the page stored with what it shows). */
const char* vaporia_ini_setting_text(const char* config_ini, int which);

/* A CONFIG.INI file chosen by the user, its first `size` bytes put in vaporia_input(size),
 * `file_size` bytes in all: the bytes to store for it (vaporia_config_bytes), their count
 * returned; -1 when it cannot be read as one, with vaporia_error_text saying why in Japanese.
 * A file taken in and written out again unchanged keeps its bytes; see ConfigImport.h. */
int vaporia_config_import(size_t size, double file_size);
const uint8_t* vaporia_config_bytes(void);

/* Labels of the main window for the settings in memory: lblTmp ("℃" or "Ｋ"), lblPress
 * ("mmHg", "atm", "hPa"), lblMol ("1mol"), lblVal ("30ﾘｯﾄﾙ"), lblDataBook ("文献値で計算中"
 * while the data-book values are in use, else empty). which: 0..4 in that order. */
const char* vaporia_label(int which);

/* ---- Temperature, readout, liquid ------------------------------------------------------- */

/* The temperature box's text changed (typing or paste): stores it as
 * the only copy of the temperature, then as txtOndo_Change computes the readout, plots the
 * point while the graph is shown and re-lays the field at or below freezing. Text that holds
 * no number changes nothing else. Only typing or pasting in the box calls it (the spinner,
 * ramps and steps have their own calls), so its point counts as typed: it may turn out to be
 * typed through on the way to the next number (2 on the way to 20). Returns changed bits. */
int vaporia_set_temperature_text(const char* text, double now_ms);
/* The temperature text as the core holds it (changed by ramps, steps and the spinner). */
const char* vaporia_temperature_text(void);

/* 1 while the temperature box holds text that is no temperature (no number, an exponent,
 * below absolute zero): the face marks the box; the readout is then empty. */
int vaporia_temperature_refused(void);

/* The readout's text (txtAturyoku) and the pressure behind it. */
const char* vaporia_readout_text(void);
double vaporia_readout_pressure(void);

/* The spinner UpDownOndo: direction +1 (up) or -1 (down); continues from the temperature
 * shown, kept within -100..200. Returns changed bits. */
int vaporia_spin(int direction, double now_ms);

/* The liquid selector cmbLiquid: index 0 水, 1 エタノール, 2 ジエチルエーテル, -1 none. As on
 * the desktop, the choice is taken up by the next frame. Returns changed bits. */
int vaporia_select_liquid(int index, double now_ms);
/* The liquid in use (AppState curLiquid): 0..2, or -1. */
int vaporia_liquid(void);
/* The selector's position the face should show (after a scenario step), 0..2 or -1. */
int vaporia_selected_liquid(void);

/* The data-book table (1) or the specified one (0); redraws nothing, recomputes the
 * full-evaporation temperature. Returns changed bits. */
int vaporia_set_data_book(int on, double now_ms);

/* ---- The tick --------------------------------------------------------------------------- */

/* Milliseconds from now_ms until the face must call vaporia_wake, or VAPORIA_NO_WAKE when
 * nothing can move until the next input. Ask after every call that returned changed bits. */
int vaporia_next_wake_ms(double now_ms);

/* The timer woke: runs the frame due (nothing when called before it is due, so waking on
 * every display refresh keeps the specified pace) (ramp step, liquid taken up, molecules moved and drawn)
 * and plans the next wake. Returns changed bits; VAPORIA_CHANGED_FIELD when the field's
 * pixels must be put on the screen. */
int vaporia_wake(double now_ms);

/* ---- The molecule field's pixels -------------------------------------------------------- */

int vaporia_field_width(void);  /* 371 */
int vaporia_field_height(void); /* 457 */
const uint8_t* vaporia_field_pixels(void);

/* ---- The graph panel -------------------------------------------------------------------- */

int vaporia_graph_width(void);  /* 315 */
int vaporia_graph_height(void); /* 334 */
/* The panel's pixels: background, grid lines and points; no label texts. */
const uint8_t* vaporia_graph_pixels(void);

/* The panel at the display's own pixels, so that grid lines stay one pixel thin and points
 * keep one shape at any size: vaporia_graph_layout gives the display pixels the whole panel
 * covers (clamped to 1..8192 a side; returns width × 65536 + height) and draws it anew;
 * vaporia_graph_raster brings it up to date and returns its RGBA pixels (valid until the
 * next layout), and vaporia_graph_dirty(0..3) the left, top, right and bottom (exclusive)
 * of what changed in that call (right <= left: nothing). */
int vaporia_graph_layout(int width, int height);
const uint8_t* vaporia_graph_raster(void);
int vaporia_graph_raster_width(void);
int vaporia_graph_raster_height(void);
int vaporia_graph_dirty(int edge);

/* The grid's labels, for the face to draw in the system font (6.75 pt proportional, black):
 * count, then for each its text and the top-left corner of its text in panel pixels. Which
 * lines carry a label, and where, follows the ink of the face's font, so that no two labels
 * touch and none leaves the panel: the face measures each character of
 * vaporia_label_ink_chars() in its font (0 the panel's, 1 the report's at 27 pixels) and
 * writes five numbers per character into vaporia_label_ink_table(font): its advance, and
 * the left, top, right and bottom of its ink with the pen at x 0 and the text's top at y 0;
 * then calls vaporia_label_ink_commit(font), which chooses the panel's labels anew (changed
 * bits). Until then a typical 12-pixel font is assumed. */
int vaporia_graph_label_count(void);
const char* vaporia_graph_label_text(int index);
int vaporia_graph_label_x(int index);
int vaporia_graph_label_y(int index);
const char* vaporia_label_ink_chars(void);
double* vaporia_label_ink_table(int font);
int vaporia_label_ink_commit(int font);

/* picGrphSw: shows or hides the graph. Returns changed bits. */
int vaporia_graph_switch(void);
/* picGrphCls: erases the points and redraws the grid while shown. Returns changed bits. */
int vaporia_graph_clear(void);
/* 1 while the graph is shown. */
int vaporia_graph_shown(void);

/* The points plotted since the last erase, as the CSV table the desktop saves (UTF-8 with a
 * byte-order mark, CRLF). */
const char* vaporia_points_csv(void);
/* Number of points plotted since the last erase (kept: the most recent 100000). */
int vaporia_point_count(void);
/* 入力途中の点も書き出す: whether the CSV and the report picture hold the points typed
 * through on the way to the number meant (2 on the way to 20); off at first. */
void vaporia_set_include_typed_through(int include);
int vaporia_include_typed_through(void);

/* ---- The report picture (the graph for a worksheet) ------------------------------------ */

/* The report picture's legend, in two steps: vaporia_report_legend() lists its lines (the
 * newest point's, then one per run of the exported points) and returns their number; the
 * face writes the width in pixels of each line in the system's font at 27 pixels into
 * vaporia_report_legend_widths() and calls vaporia_report_make(). */
int vaporia_report_legend(void);
const char* vaporia_report_legend_text(int index);
int32_t* vaporia_report_legend_widths(void);
/* Makes the report picture of the exported points on the grid shown: the pixels of the
 * grid, the points (each panel pixel a 3 × 3 block, each run its marker) and the legend's
 * markers, and the list of texts to print over them. Returns the number of texts. */
int vaporia_report_make(void);
int vaporia_report_width(void);  /* 1050 */
int vaporia_report_height(void); /* 1162 */
/* The last picture made; RGBA as the other pictures. */
const uint8_t* vaporia_report_pixels(void);
/* Text index of the last picture made, and how to draw it. field: 0 place (0 top-left
 * corner at x, y; 1 centred across the box x, y, w, h at its top; 2 turned to read upwards,
 * centred in the box; 3 starting at x, centred vertically on y), 1 x, 2 y, 3 w, 4 h,
 * 5 font size in pixels, 6 bold (1) or not (0). Black text, the system's proportional font. */
const char* vaporia_report_text(int index);
int vaporia_report_text_value(int index, int field);
/* The face's PNG of the picture, put in vaporia_input(size), with its real resolution
 * (288 dpi, a pHYs chunk): returns the new size (0 when the bytes are no PNG), the bytes at
 * vaporia_report_png_bytes(). */
size_t vaporia_report_png(size_t size);
const uint8_t* vaporia_report_png_bytes(void);

/* ---- Scenario in use, playback ---------------------------------------------------------- */

/* picSinario: playback on (from step 1) or off. Returns changed bits. */
int vaporia_playback_toggle(void);
/* Where playback stands ("ステップ 3 / 13", "シナリオの終わり（13 / 13）"); "" while off. */
const char* vaporia_playback_text(void);
/* 最初に戻す: the graph cleared to its grid, playback (if on) at step 1, the box empty as at
 * start-up, the molecules laid out afresh. Returns changed bits. */
int vaporia_reset(double now_ms);

/* 1 while playback is on. */
int vaporia_playback_on(void);
/* A key released on the main window (Windows key codes: 40 Down, 13 Enter, 32 Space); while
 * playback is on, a playback key runs one step. Returns changed bits. */
int vaporia_key_up(int key_code, double now_ms);

/* A key pressed in the temperature box (38 Up, 40 Down), repeating while held: steps the
 * temperature as the spinner does; Down is left to playback while that is on. Returns
 * changed bits. */
int vaporia_key_down(int key_code, double now_ms);

/* ---- The molecules' motion ---------------------------------------------------------------- */

/* The motion on (1) or off (0). While off the molecules stand still and the field shows each
 * new state still; everything else goes on. Key 119 (F8) released toggles it too. Returns
 * changed bits (VAPORIA_CHANGED_MOTION when it changed). */
int vaporia_set_motion(int on, double now_ms);
int vaporia_motion_on(void);

/* ---- What a screen reader says ------------------------------------------------------------ */

/* The readout as one sentence ("50 ℃、圧力 100.0 mmHg"); "" while no readout stands. */
const char* vaporia_announcement(void);
/* The field's state in words ("液体と気体。分子の約5分の1が気体"). */
const char* vaporia_field_description(void);
/* The points the CSV table holds, oldest first, each as "水、50 ℃、100.0 mmHg". */
int vaporia_exported_point_count(void);
const char* vaporia_point_text(int index);
/* The keyboard help: count, then each line's keys and what they do. */
int vaporia_key_help_count(void);
const char* vaporia_key_help_keys(int index);
const char* vaporia_key_help_action(int index);

/* Decodes a .so1 file's bytes into the scenario in use. Returns 1 on success; 0 leaves the
 * scenario untouched, with vaporia_error_text saying why in Japanese. */
int vaporia_sinario_decode(const uint8_t* bytes, size_t size, const char* file_name);
/* Why the last decode, settings refusal or CONFIG.INI import failed, in Japanese; "" after a
 * success. */
const char* vaporia_error_text(void);
/* The scenario in use as the 2380-byte record the desktop writes; its size is
 * vaporia_sinario_size(). */
const uint8_t* vaporia_sinario_encode(void);
size_t vaporia_sinario_size(void);

/* The window caption: "蒸気圧曲線　-　" and the title. */
const char* vaporia_caption(void);
/* The title (30 characters, NULs dropped) and its setter (txtTTl lost focus): padded with
 * spaces or cut to 30 UTF-16 units, never between the halves of a pair. The text box shows
 * the title without its trailing spaces: vaporia_sinario_title_trimmed. */
const char* vaporia_sinario_title(void);
const char* vaporia_sinario_title_trimmed(void);
void vaporia_sinario_set_title(const char* text);

/* The editor's list (listSinario): steps in use and each step's line of text. */
int vaporia_sinario_step_count(void);
/* index 0 .. count-1; a temperature in the unit it plays in (see mdlSinario::TemperatureUnitAt) */
const char* vaporia_sinario_step_text(int index);

/* The editor's add buttons. selected_row: the list's selected row, or -1 to append. Each
 * returns 1 when added, 0 when the scenario is full, and for cmdAdd1 / cmdAdd2 -(n+1) when
 * box n (in tab order, 0-based, as listed) holds no number: the face focuses that box. */
int vaporia_sinario_add_init(int selected_row, int temperature_unit, int pressure_unit,
                             const char* mol, const char* container, const char* grph_w_min,
                             const char* grph_w_max, const char* press_w_min,
                             const char* press_w_max);
int vaporia_sinario_add_temp(int selected_row, const char* temperature, int add_temp);
int vaporia_sinario_add_graph(int selected_row, int shown);     /* cmdAdd3: 1 on, 0 off */
int vaporia_sinario_add_graph_clear(int selected_row);          /* cmdAdd4 */
int vaporia_sinario_add_liquid(int selected_row, int liquid);   /* cmdAdd5: 0..2, -1 typed */
/* cmdDel: removes the selected row's step. Returns 1 when removed. */
int vaporia_sinario_delete(int selected_row);

/* ---- Lessons ---------------------------------------------------------------------------- */

/* The four sample lessons built in, in the menu's order. */
int vaporia_lesson_count(void);
const char* vaporia_lesson_title(int index);
/* Loads lesson index into the scenario in use, as the lesson menu does. Returns 1. */
int vaporia_lesson_load(int index);

/* ---- The graph's markers and legend ------------------------------------------------------ */

/* The colour-vision choice of markers, also on F2 (KeyUp): each liquid's points in a shape
 * of their own, the newest ringed. Returns changed bits (VAPORIA_CHANGED_MARKERS with the
 * graph's when it changed). */
int vaporia_set_distinct_markers(int on);
int vaporia_distinct_markers(void);
/* The legend beside the graph: the number of lines, then each one's text, colour (0xRRGGBB)
 * and marker shape, drawn on vaporia_mark_cells(shape) cells a side, those with
 * vaporia_mark_inked(shape, x, y) inked. */
int vaporia_panel_legend(void);
const char* vaporia_panel_legend_text(int index);
int vaporia_panel_legend_color(int index);
int vaporia_panel_legend_shape(int index);
int vaporia_mark_cells(int shape);
int vaporia_mark_inked(int shape, int cx, int cy);

/* ---- Number texts, for the face's own boxes ---------------------------------------------- */

/* What a typed box holds as a number: 1 and *out set, or 0. Full-width forms count. */
int vaporia_parse_number(const char* text, double* out);

#ifdef __cplusplus
}
#endif

#endif

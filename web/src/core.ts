// The cores, compiled to WebAssembly, behind typed calls. Every number, byte and pixel the
// face shows comes through here; the face itself decides none of them.

export const CHANGED = {
  TEMPERATURE: 1 << 0,
  READOUT: 1 << 1,
  FIELD: 1 << 2,
  GRAPH: 1 << 3,
  LIQUID: 1 << 4,
  SETTINGS: 1 << 5,
  PLAYBACK: 1 << 6,
  GRAPH_SHOWN: 1 << 7,
  SCENARIO: 1 << 8,
  VALUES_KIND: 1 << 9,
  NOTICE: 1 << 10,
  MOTION: 1 << 11,
  MARKERS: 1 << 12,
} as const;

export const NO_WAKE = -1;

export interface ReportText {
  text: string;
  place: number; // 0 top-left at x, y; 1 centred across x..x+w at y; 2 upwards, centred in the box; 3 from x, centred on y
  x: number; y: number; w: number; h: number;
  pixels: number;
  bold: boolean;
}

interface EmModule {
  HEAPU8: Uint8Array;
  HEAPF64: Float64Array;
  ccall(name: string, ret: string | null, types: string[], args: unknown[]): any;
  UTF8ToString(ptr: number): string;
  stackSave(): number;
  stackRestore(p: number): void;
  stackAlloc(n: number): number;
  [k: string]: any;
}

type Factory = (opts?: object) => Promise<EmModule>;

export class Core {
  private constructor(private readonly m: EmModule) {}

  static async load(): Promise<Core> {
    const g = globalThis as any;
    const factory: Factory | undefined = g.createVaporiaCore ?? g.VaporiaCore;
    if (typeof factory !== "function") throw new Error("vaporia core missing");
    // The page's first script has started compiling the wasm; instantiate that module.
    const compiled: Promise<WebAssembly.Module> | null | undefined = g.vaporiaWasm;
    let fail: (e: unknown) => void = () => {};
    const failed = new Promise<never>((_, reject) => (fail = reject));
    const opts = compiled
      ? {
          instantiateWasm(imports: WebAssembly.Imports, done: (i: WebAssembly.Instance, m: WebAssembly.Module) => void) {
            compiled.then((m) => WebAssembly.instantiate(m, imports).then((i) => done(i, m))).catch(fail);
            return {};
          },
        }
      : {};
    return new Core(await Promise.race([factory(opts), failed]));
  }

  private heap(): Uint8Array {
    return this.m.HEAPU8;
  }
  private fn(name: string): (...a: any[]) => any {
    return this.m["_" + name];
  }
  private s(name: string, ...args: unknown[]): string {
    const types = args.map((a) => (typeof a === "string" ? "string" : "number"));
    const p: number = this.m.ccall(name, "number", types, args);
    return p ? this.m.UTF8ToString(p) : "";
  }
  private n(name: string, ...args: unknown[]): number {
    if (args.every((a) => typeof a === "number")) return this.fn(name)(...args);
    const types = args.map((a) => (typeof a === "string" ? "string" : "number"));
    return this.m.ccall(name, "number", types, args);
  }
  private putInput(bytes: Uint8Array): number {
    const p: number = this.fn("vaporia_input")(bytes.length);
    if (!p) return 0;
    this.heap().set(bytes, p);
    this.heap()[p + bytes.length] = 0;
    return p;
  }
  // The bytes of a NUL-terminated result.
  private bytesAt(p: number): Uint8Array {
    const heap = this.heap();
    let end = p;
    while (heap[end] !== 0) end++;
    return heap.slice(p, end);
  }

  init(now: number): void {
    const d = new Date();
    const tod = d.getHours() * 3600 + d.getMinutes() * 60 + d.getSeconds() + d.getMilliseconds() / 1000;
    this.n("vaporia_init", tod, now);
  }
  version(): string { return this.s("vaporia_version"); }

  // CONFIG.INI travels as the file's bytes: the desktop keeps them in code page 932, which no
  // text decoder here would give back unchanged.
  activate(ini: Uint8Array, now: number): number {
    return this.fn("vaporia_activate")(this.putInput(ini), now);
  }
  settingsToIni(old: Uint8Array): Uint8Array {
    const p = this.putInput(old);
    return this.bytesAt(this.fn("vaporia_settings_to_ini")(p));
  }
  // One setting as the dialog shows it, read from CONFIG.INI bytes; the settings in memory stay.
  iniSettingText(ini: Uint8Array, which: number): string {
    const p = this.putInput(ini);
    return this.m.UTF8ToString(this.fn("vaporia_ini_setting_text")(p, which));
  }
  // A chosen file's first bytes and its whole size: the bytes to store, or null with
  // errorText() saying why it is no settings file.
  configImport(bytes: Uint8Array, fileSize: number): Uint8Array | null {
    if (!this.putInput(bytes)) return null;
    const n: number = this.fn("vaporia_config_import")(bytes.length, fileSize);
    if (n < 0) return null;
    const p: number = this.fn("vaporia_config_bytes")();
    return this.heap().slice(p, p + n);
  }
  setting(which: number): number { return this.n("vaporia_setting", which); }
  settingText(which: number): string { return this.s("vaporia_setting_text", which); }
  settingsTake(tu: number, pu: number, wMin: string, wMax: string, pMin: string, pMax: string, container: string, mol: string): number {
    return this.n("vaporia_settings_take", tu, pu, wMin, wMax, pMin, pMax, container, mol);
  }
  takeNotice(): string { return this.s("vaporia_take_notice"); }
  settingsDefaults(): void { this.fn("vaporia_settings_defaults")(); }
  label(which: number): string { return this.s("vaporia_label", which); }

  setTemperatureText(text: string, now: number): number { return this.n("vaporia_set_temperature_text", text, now); }
  temperatureText(): string { return this.s("vaporia_temperature_text"); }
  readoutText(): string { return this.s("vaporia_readout_text"); }
  temperatureRefused(): boolean { return this.n("vaporia_temperature_refused") !== 0; }
  spin(direction: number, now: number): number { return this.n("vaporia_spin", direction, now); }
  selectLiquid(index: number, now: number): number { return this.n("vaporia_select_liquid", index, now); }
  liquid(): number { return this.n("vaporia_liquid"); }
  selectedLiquid(): number { return this.n("vaporia_selected_liquid"); }
  setDataBook(on: boolean, now: number): number { return this.n("vaporia_set_data_book", on ? 1 : 0, now); }

  nextWakeMs(now: number): number { return this.n("vaporia_next_wake_ms", now); }
  wake(now: number): number { return this.n("vaporia_wake", now); }

  fieldWidth(): number { return this.n("vaporia_field_width"); }
  fieldHeight(): number { return this.n("vaporia_field_height"); }
  // The cores draw the picture when it is asked for after a frame moved it, so it is asked
  // for each time; the view on it is kept until the memory grows or the picture moves.
  private fieldView: Uint8Array | null = null;
  fieldPixels(): Uint8Array {
    const p: number = this.n("vaporia_field_pixels");
    const heap = this.heap();
    if (!this.fieldView || this.fieldView.buffer !== heap.buffer || this.fieldView.byteOffset !== p) {
      const w = this.fieldWidth(), h = this.fieldHeight();
      this.fieldView = heap.subarray(p, p + w * h * 4);
    }
    return this.fieldView;
  }
  graphWidth(): number { return this.n("vaporia_graph_width"); }
  graphHeight(): number { return this.n("vaporia_graph_height"); }
  graphPixels(): Uint8Array {
    const w = this.graphWidth(), h = this.graphHeight();
    const p = this.n("vaporia_graph_pixels");
    return this.heap().subarray(p, p + w * h * 4);
  }
  // The graph at the display's pixels: a layout of the whole panel's size on the display,
  // then the pixels brought up to date with the box that changed (right <= left: none).
  graphLayout(width: number, height: number): void {
    this.n("vaporia_graph_layout", width, height);
  }
  // The same object each time, its view made anew only when the pixels moved: a ramp plots
  // on every frame.
  private raster = { data: new Uint8ClampedArray(0), width: 0, height: 0, dirty: [0, 0, 0, 0] as [number, number, number, number] };
  graphRaster(): { data: Uint8ClampedArray; width: number; height: number; dirty: [number, number, number, number] } {
    const p = this.n("vaporia_graph_raster");
    const r = this.raster;
    r.width = this.n("vaporia_graph_raster_width");
    r.height = this.n("vaporia_graph_raster_height");
    const buffer = this.heap().buffer;
    if (r.data.buffer !== buffer || r.data.byteOffset !== p || r.data.length !== r.width * r.height * 4)
      r.data = new Uint8ClampedArray(buffer, p, r.width * r.height * 4);
    for (let i = 0; i < 4; i++) r.dirty[i] = this.n("vaporia_graph_dirty", i);
    return r;
  }
  graphLabels(): { text: string; x: number; y: number }[] {
    const out = [];
    const n = this.n("vaporia_graph_label_count");
    for (let i = 0; i < n; i++) {
      out.push({
        text: this.s("vaporia_graph_label_text", i),
        x: this.n("vaporia_graph_label_x", i),
        y: this.n("vaporia_graph_label_y", i),
      });
    }
    return out;
  }
  // The label fonts' ink, measured by the face character by character (0 the panel's, 1 the
  // report's); the cores choose from it which grid lines carry a label, and where.
  setLabelInk(font: number, measure: (ch: string) => [number, number, number, number, number]): number {
    const chars = this.s("vaporia_label_ink_chars");
    const p: number = this.n("vaporia_label_ink_table", font);
    if (!p) return 0;
    const values: number[] = [];
    for (const ch of chars) values.push(...measure(ch).map((v) => (Number.isFinite(v) ? v : 0)));
    new Float64Array(this.heap().buffer, p, values.length).set(values);
    return this.n("vaporia_label_ink_commit", font);
  }
  graphSwitch(): number { return this.n("vaporia_graph_switch"); }
  graphClear(): number { return this.n("vaporia_graph_clear"); }
  graphShown(): boolean { return this.n("vaporia_graph_shown") !== 0; }
  // The bytes as the cores made them: a text decoder would drop the byte-order mark that
  // spreadsheet programs need to read the table as UTF-8.
  pointsCsv(): Uint8Array {
    return this.bytesAt(this.fn("vaporia_points_csv")());
  }
  pointCount(): number { return this.n("vaporia_point_count"); }
  setIncludeTypedThrough(on: boolean): void { this.n("vaporia_set_include_typed_through", on ? 1 : 0); }
  includeTypedThrough(): boolean { return this.n("vaporia_include_typed_through") !== 0; }

  playbackToggle(): number { return this.n("vaporia_playback_toggle"); }
  playbackOn(): boolean { return this.n("vaporia_playback_on") !== 0; }
  playbackText(): string { return this.s("vaporia_playback_text"); }
  reset(now: number): number { return this.n("vaporia_reset", now); }
  keyUp(code: number, now: number): number { return this.n("vaporia_key_up", code, now); }
  keyDown(code: number, now: number): number { return this.n("vaporia_key_down", code, now); }

  setMotion(on: boolean, now: number): number { return this.n("vaporia_set_motion", on ? 1 : 0, now); }
  motionOn(): boolean { return this.n("vaporia_motion_on") !== 0; }
  // The colour-vision choice of markers, and the legend beside the graph in it.
  setDistinctMarkers(on: boolean): number { return this.n("vaporia_set_distinct_markers", on ? 1 : 0); }
  distinctMarkers(): boolean { return this.n("vaporia_distinct_markers") !== 0; }
  panelLegend(): { text: string; color: number; shape: number }[] {
    const out = [];
    const n = this.n("vaporia_panel_legend");
    for (let i = 0; i < n; i++)
      out.push({ text: this.s("vaporia_panel_legend_text", i), color: this.n("vaporia_panel_legend_color", i),
        shape: this.n("vaporia_panel_legend_shape", i) });
    return out;
  }
  markCells(shape: number): number { return this.n("vaporia_mark_cells", shape); }
  markInked(shape: number, x: number, y: number): boolean { return this.n("vaporia_mark_inked", shape, x, y) !== 0; }
  announcement(): string { return this.s("vaporia_announcement"); }
  fieldDescription(): string { return this.s("vaporia_field_description"); }
  // The points as the CSV has them, oldest first, each in words.
  exportedPointCount(): number { return this.n("vaporia_exported_point_count"); }
  pointText(i: number): string { return this.s("vaporia_point_text", i); }
  keyHelp(): { keys: string; action: string }[] {
    const out = [];
    const n = this.n("vaporia_key_help_count");
    for (let i = 0; i < n; i++) out.push({ keys: this.s("vaporia_key_help_keys", i), action: this.s("vaporia_key_help_action", i) });
    return out;
  }

  sinarioDecode(bytes: Uint8Array, fileName: string): boolean {
    const p = this.putInput(bytes);
    if (!p) return false;
    return this.n("vaporia_sinario_decode", p, bytes.length, fileName) === 1;
  }
  errorText(): string { return this.s("vaporia_error_text"); }
  sinarioEncode(): Uint8Array {
    const p = this.n("vaporia_sinario_encode");
    const size = this.n("vaporia_sinario_size");
    return this.heap().slice(p, p + size);
  }
  caption(): string { return this.s("vaporia_caption"); }
  sinarioTitle(): string { return this.s("vaporia_sinario_title"); }
  sinarioTitleTrimmed(): string { return this.s("vaporia_sinario_title_trimmed"); }
  sinarioSetTitle(t: string): void { this.n("vaporia_sinario_set_title", t); }
  stepCount(): number { return this.n("vaporia_sinario_step_count"); }
  stepText(i: number): string { return this.s("vaporia_sinario_step_text", i); }
  addInit(row: number, tu: number, pu: number, mol: string, container: string, wMin: string, wMax: string, pMin: string, pMax: string): number {
    return this.n("vaporia_sinario_add_init", row, tu, pu, mol, container, wMin, wMax, pMin, pMax);
  }
  addTemp(row: number, t: string, add: boolean): number { return this.n("vaporia_sinario_add_temp", row, t, add ? 1 : 0); }
  addGraph(row: number, shown: boolean): number { return this.n("vaporia_sinario_add_graph", row, shown ? 1 : 0); }
  addGraphClear(row: number): number { return this.n("vaporia_sinario_add_graph_clear", row); }
  addLiquid(row: number, liquid: number): number { return this.n("vaporia_sinario_add_liquid", row, liquid); }
  deleteStep(row: number): number { return this.n("vaporia_sinario_delete", row); }

  lessonCount(): number { return this.n("vaporia_lesson_count"); }
  lessonTitle(i: number): string { return this.s("vaporia_lesson_title", i); }
  lessonLoad(i: number): number { return this.n("vaporia_lesson_load", i); }

  // The report picture: pixels and the texts to print over them.
  // textWidth: the width of a legend line in the face's font at 27 pixels.
  reportMake(textWidth: (text: string) => number): { width: number; height: number; pixels: Uint8Array; texts: ReportText[] } {
    const lines = this.n("vaporia_report_legend");
    const widths: number[] = [];
    for (let i = 0; i < lines; i++) widths.push(Math.ceil(textWidth(this.s("vaporia_report_legend_text", i))) | 0);
    const wp: number = this.n("vaporia_report_legend_widths");
    if (wp && lines) new Int32Array(this.heap().buffer, wp, lines).set(widths);
    const n = this.n("vaporia_report_make");
    const width = this.n("vaporia_report_width"), height = this.n("vaporia_report_height");
    const p = this.n("vaporia_report_pixels");
    const pixels = this.heap().slice(p, p + width * height * 4);
    const texts: ReportText[] = [];
    for (let i = 0; i < n; i++) {
      const v = (f: number) => this.n("vaporia_report_text_value", i, f);
      texts.push({ text: this.s("vaporia_report_text", i), place: v(0), x: v(1), y: v(2), w: v(3), h: v(4), pixels: v(5), bold: v(6) !== 0 });
    }
    return { width, height, pixels, texts };
  }
  // The PNG with its real resolution (288 dpi); the bytes as they came when the core
  // cannot read them.
  reportPng(png: Uint8Array): Uint8Array {
    if (!this.putInput(png)) return png;
    const size: number = this.n("vaporia_report_png", png.length);
    if (!size) return png;
    const p: number = this.n("vaporia_report_png_bytes");
    return this.heap().slice(p, p + size);
  }
}

// The browser face: the main window at its designed 800 × 559 (its parts moved to use an
// upright screen, see layout.ts), the menus and the three dialogs. It reads its controls,
// calls the cores and draws what they return.
import { Core, CHANGED, NO_WAKE } from "./core";
import { el, place, saveBytes, download, pickFile, fileName } from "./dom";
import { Store, isOwnKey, STORAGE_FAILED, STORAGE_READ_FAILED, STORAGE_DAMAGED } from "./storage";
import { openSettings, openScenario, openAbout, openKeyHelp, messageBox, anyDialogOpen, isTouch } from "./dialogs";
import { Layout, LAYOUTS, PANES, PaneId, chooseLayout, fitScale, stageSize } from "./layout";
import background from "../gen/background.png";
import sinarioOn from "../../assets/sinario_on.png";
import sinarioOff from "../../assets/sinario_off.png";
import grphSwOn from "../../assets/grphsw_on.png";
import grphSwOff from "../../assets/grphsw_off.png";
import grphClsOn from "../../assets/grphcls_on.png";
import grphClsOff from "../../assets/grphcls_off.png";

const ALL = 0x1ff | CHANGED.MOTION;
const ZOOMS = [100, 150, 200];
// What a screen reader says waits until the typing or a ramp settles.
const SETTLE_MS = 700;
// The table of the graph's points holds the newest this many.
const TABLE_ROWS = 1000;
// Fitted, the stage is never drawn below this share of its size (except to fit the width
// of the narrowest layout): a browser zoomed in then shows it larger, in a narrower layout,
// scrolling downwards, as a narrow screen would. By touch the pinch enlarges it instead.
const FLOOR = 0.9;

export class App {
  readonly core: Core;
  store!: Store;
  private timer = 0;
  private fieldImage!: ImageData;
  private graphCanvas!: HTMLCanvasElement;
  private graphImage?: ImageData; // over the cores' pixels
  private graphDevice = ""; // the graph's size on the display, as last laid out
  private labelPx = 9;      // the grid labels' size, in the stage's pixels
  private legend!: HTMLElement;
  private legendKey = "";
  private fieldCtx!: CanvasRenderingContext2D;
  private graphCtx!: CanvasRenderingContext2D;
  private stage!: HTMLElement;
  txtOndo!: HTMLInputElement;
  private txtAturyoku!: HTMLInputElement;
  private cmbLiquid!: HTMLSelectElement;
  private labels!: HTMLElement;
  private picSinario!: HTMLButtonElement;
  private picGrphSw!: HTMLButtonElement;
  private picGrphCls!: HTMLButtonElement;
  private cmdMotion!: HTMLButtonElement;
  private status!: HTMLElement;
  private fieldDesc!: HTMLElement;
  private grphSummary!: HTMLElement;
  private grphTable!: HTMLTableSectionElement;
  private grphCaption!: HTMLElement;
  private settleTimer = 0;
  private readoutMoved = false; // since the readout was last said
  private saidStep = "";
  private pointAt = -1; // the point read last on the graph, -1 none yet
  private lastMainFocus: HTMLElement | null = null; // where a closed menu gives the focus back
  private lblTmp!: HTMLElement;
  private lblPress!: HTMLElement;
  private lblMol!: HTMLElement;
  private lblVal!: HTMLElement;
  private lblStep!: HTMLElement;
  private lblDataBook!: HTMLElement;
  private cmdNextStep!: HTMLButtonElement;
  private openMenu: HTMLElement | null = null;
  private layout: Layout = LAYOUTS[0];
  private panes = {} as Record<PaneId, HTMLElement>;
  private grooves: HTMLElement[] = [];
  private menubar!: HTMLElement;
  private zoomShown = 0; // the zoom in effect: 0 fitted
  private labelKey = "";
  private shownTemperature = "";
  private damageSaid = false;
  // While the settings dialog is open: shows another tab's stored settings in its boxes.
  settingsFollower: ((before: Uint8Array, after: Uint8Array) => void) | null = null;
  scale = 1;

  constructor(core: Core) {
    this.core = core;
  }

  now(): number {
    return performance.now();
  }

  start(): void {
    // The field first, drawn before the other controls are built or anything asks for a
    // layout: the pupils see the container at once.
    this.buildField();
    this.core.init(this.now());
    // A pupil who asked the system for less motion gets the still picture, and one key or
    // the button starts the molecules.
    const still = matchMedia("(prefers-reduced-motion: reduce)");
    if (still.matches) this.core.setMotion(false, this.now());
    still.addEventListener?.("change", () => { if (still.matches) this.apply(this.core.setMotion(false, this.now())); });
    this.drawField();
    // The browser's storage opens slowly the first time: after the first frame.
    this.store = new Store((bytes) => this.core.configImport(bytes, bytes.length));
    this.build();
    this.measureLabelFont();
    this.core.setDataBook(this.store.prefs.dataBook, this.now());
    this.core.setDistinctMarkers(this.store.prefs.markers);
    this.activate();
    this.applyZoom();
    this.txtOndo.focus({ preventScroll: true }); // a page that scrolls starts at its top
    if (this.store.readFailed) messageBox(this, STORAGE_READ_FAILED);
    this.sayDamaged();
    window.addEventListener("storage", (e) => { if (isOwnKey(e.key)) this.followStorage(); });
  }

  private sayDamaged(): void {
    if (!this.store.damaged || this.damageSaid) return;
    this.damageSaid = true;
    messageBox(this, STORAGE_DAMAGED);
  }

  // Another tab stored its settings or choices: this one takes them as it would its own, the
  // settings as after closing the settings dialog. Runs before each save too, for a change
  // whose event has not arrived yet.
  followStorage(): void {
    const before = this.store.config, dataBook = this.store.prefs.dataBook;
    const changed = this.store.reload();
    this.sayDamaged();
    if (changed.prefs) {
      if (this.store.prefs.dataBook !== dataBook)
        this.apply(this.core.setDataBook(this.store.prefs.dataBook, this.now()) | CHANGED.SETTINGS);
      this.apply(this.core.setDistinctMarkers(this.store.prefs.markers) | CHANGED.GRAPH);
      this.applyZoom();
    }
    if (changed.config && this.settingsDiffer(before, this.store.config)) {
      this.settingsFollower?.(before, this.store.config);
      this.activate();
    }
  }

  // Whether two CONFIG.INI files give different settings (not just other comments).
  settingsDiffer(a: Uint8Array, b: Uint8Array): boolean {
    for (let k = 0; k < 8; k++) if (this.core.iniSettingText(a, k) !== this.core.iniSettingText(b, k)) return true;
    return false;
  }

  // The main window's activation: settings from storage, empty grid, labels.
  activate(): void {
    this.apply(this.core.activate(this.store.config, this.now()) | ALL);
  }

  // 最初に戻す: the lesson from its start, nothing reloaded.
  reset(): void {
    this.apply(this.core.reset(this.now()));
  }

  // Redraws what a call changed, then plans the next wake.
  apply(changed: number): void {
    const c = this.core;
    if (changed & CHANGED.TEMPERATURE) {
      const t = c.temperatureText();
      if (this.txtOndo.value !== t) this.txtOndo.value = t;
      this.fitTemperature();
      this.shownTemperature = t;
    }
    if (changed & CHANGED.READOUT) this.txtAturyoku.value = c.readoutText();
    if (changed & (CHANGED.READOUT | CHANGED.TEMPERATURE)) this.readoutMoved = true;
    if (changed & (CHANGED.READOUT | CHANGED.TEMPERATURE | CHANGED.PLAYBACK | CHANGED.GRAPH)) this.settle();
    if (changed & (CHANGED.READOUT | CHANGED.TEMPERATURE | CHANGED.SETTINGS)) this.markTemperature(c.temperatureRefused());
    if (changed & CHANGED.FIELD) this.drawField();
    if (changed & CHANGED.MOTION) this.showMotion();
    if (changed & CHANGED.GRAPH) this.drawGraph();
    if (changed & CHANGED.MARKERS) this.rememberMarkers();
    if (changed & CHANGED.GRAPH) this.drawLegend();
    if (changed & CHANGED.LIQUID) this.cmbLiquid.selectedIndex = c.selectedLiquid();
    if (changed & CHANGED.SETTINGS) {
      this.lblTmp.textContent = c.label(0);
      this.lblPress.textContent = c.label(1);
      this.lblMol.textContent = c.label(2);
      this.lblVal.textContent = c.label(3);
      const mark = c.label(4);
      this.lblDataBook.textContent = mark;
      this.lblDataBook.hidden = mark === "";
    }
    if (changed & CHANGED.PLAYBACK) {
      const on = c.playbackOn();
      this.picture(this.picSinario, on ? sinarioOn : sinarioOff);
      this.picSinario.setAttribute("aria-pressed", String(on));
      this.cmdNextStep.hidden = !on;
      this.lblStep.textContent = c.playbackText();
    }
    if (changed & CHANGED.GRAPH_SHOWN) {
      const shown = c.graphShown();
      this.picture(this.picGrphSw, shown ? grphSwOn : grphSwOff);
      this.picGrphSw.setAttribute("aria-pressed", String(shown));
    }
    if (changed & CHANGED.SCENARIO) document.title = c.caption();
    if (changed & CHANGED.NOTICE) {
      const notice = c.takeNotice();
      if (notice) void messageBox(this, notice);
    }
    this.schedule();
  }

  private picture(b: HTMLButtonElement, src: string): void {
    const img = b.firstElementChild as HTMLImageElement;
    if (img.getAttribute("src") !== src) img.src = src;
  }

  // The readout, where playback stands and the graph's points, in words once they have
  // settled: a screen reader hears the number meant, not each keystroke or ramp degree.
  private settle(): void {
    if (this.settleTimer) clearTimeout(this.settleTimer);
    this.settleTimer = window.setTimeout(() => {
      this.settleTimer = 0;
      const step = this.core.playbackText();
      const parts = [step !== this.saidStep ? step : "", this.readoutMoved ? this.core.announcement() : ""].filter((t) => t);
      this.saidStep = step;
      this.readoutMoved = false;
      if (parts.length) this.say(parts.join("。"));
      this.describeGraph();
    }, SETTLE_MS);
  }

  // The one polite live region. The same words again are said again.
  say(text: string): void {
    this.status.textContent = this.status.textContent === text ? text + "\u00a0" : text;
  }

  private showMotion(): void {
    const on = this.core.motionOn();
    const b = this.cmdMotion;
    b.textContent = "";
    el("span", b, undefined, "glyph", on ? "❚❚" : "▶").setAttribute("aria-hidden", "true");
    b.append(on ? " 止める" : " 動かす");
    b.setAttribute("aria-label", on ? "分子の動きを止める" : "分子を動かす");
    b.title = (on ? "分子の動きを止める" : "分子を動かす") + " (F8)";
    b.classList.toggle("stopped", !on);
  }

  // The button or F8: said too, as the button may be out of sight.
  private toggleMotion(changed: number): void {
    this.apply(changed);
    if (changed & CHANGED.MOTION) this.say(this.core.motionOn() ? "分子が動き出しました" : "分子を止めました");
  }

  // The graph for a screen reader: how many points, and a table of them.
  private describeGraph(): void {
    const n = this.core.exportedPointCount();
    if (this.pointAt >= n) this.pointAt = n - 1;
    const newest = n ? "。最新の点は " + this.core.pointText(n - 1) : "";
    this.grphSummary.textContent = (n ? `点が ${n} 個あります` : "点はありません") + newest
      + "。← → で 1 つずつ、Home・End で最初・最新の点を読みます";
    const from = Math.max(0, n - TABLE_ROWS);
    this.grphCaption.textContent = from ? `グラフの点（新しい ${TABLE_ROWS} 個）` : "グラフの点";
    const rows: HTMLTableRowElement[] = [];
    for (let i = from; i < n; i++) {
      const r = document.createElement("tr");
      el("th", r, undefined, undefined, String(i + 1)).setAttribute("scope", "row");
      el("td", r, undefined, undefined, this.core.pointText(i));
      rows.push(r);
    }
    this.grphTable.replaceChildren(...rows);
    this.grphTable.parentElement!.hidden = n === 0;
  }

  // ← → Home End on the graph: each point said in turn, oldest first as in the table.
  private readPoint(key: string): boolean {
    const n = this.core.exportedPointCount();
    const moves: Record<string, number> = { ArrowLeft: -1, ArrowRight: 1, Home: -n, End: n };
    if (!(key in moves)) return false;
    if (!n) {
      this.say("グラフに点はありません");
      return true;
    }
    const from = this.pointAt < 0 || this.pointAt >= n ? n : this.pointAt;
    this.pointAt = Math.max(0, Math.min(n - 1, from + moves[key]));
    this.say(`${this.pointAt + 1} / ${n}：${this.core.pointText(this.pointAt)}`);
    return true;
  }

  // One timer at most, and none while nothing can move.
  private schedule(): void {
    if (this.timer) clearTimeout(this.timer);
    this.timer = 0;
    const ms = this.core.nextWakeMs(this.now());
    if (ms !== NO_WAKE && ms >= 0) this.timer = window.setTimeout(this.onWake, ms);
  }

  private onWake = (): void => {
    this.timer = 0;
    this.apply(this.core.wake(this.now()));
  };

  isScheduled(): boolean {
    return this.timer !== 0;
  }

  private drawField(): void {
    this.fieldImage.data.set(this.core.fieldPixels());
    this.fieldCtx.putImageData(this.fieldImage, 0, 0);
    // Said when it changes, not each frame.
    const words = this.core.fieldDescription();
    if (this.fieldDesc.textContent !== words) this.fieldDesc.textContent = words;
    const w = window as any;
    if (w.vaporiaFirstFrame === undefined) w.vaporiaFirstFrame = performance.now();
  }

  // The grid labels are spans of the font below, one line high: the baseline lies where the
  // browser centres the font's ascent and descent in that line. The cores get each
  // character's ink and choose the labels so that none touch.
  private measureLabelFont(): number {
    const probe = el("span", this.labels, undefined, undefined, "0");
    const cs = getComputedStyle(probe);
    const size = parseFloat(cs.fontSize) || 9;
    const font = `${cs.fontStyle} ${cs.fontWeight} ${cs.fontSize} ${cs.fontFamily}`;
    probe.remove();
    const g = document.createElement("canvas").getContext("2d");
    if (!g) return 0;
    g.font = font;
    g.textBaseline = "alphabetic";
    const f = g.measureText("0") as any;
    const ascent: number = f.fontBoundingBoxAscent ?? size * 0.88;
    const descent: number = f.fontBoundingBoxDescent ?? size * 0.12;
    const baseline = (size + ascent - descent) / 2;
    return this.core.setLabelInk(0, (ch) => {
      const m = g.measureText(ch);
      return [m.width, -m.actualBoundingBoxLeft, baseline - m.actualBoundingBoxAscent,
        m.actualBoundingBoxRight, baseline + m.actualBoundingBoxDescent];
    });
  }

  private drawGraph(): void {
    const r = this.core.graphRaster();
    const [l, t, right, bottom] = r.dirty;
    if (right > l && bottom > t) {
      if (this.graphCanvas.width !== r.width || this.graphCanvas.height !== r.height) {
        this.graphCanvas.width = r.width;
        this.graphCanvas.height = r.height;
      }
      if (this.graphImage?.data !== r.data) this.graphImage = new ImageData(r.data, r.width, r.height);
      this.graphCtx.putImageData(this.graphImage, 0, 0, l, t, right - l, bottom - t);
    }
    // A plotted point leaves the labels as they were: rebuild them only when they change.
    const labels = this.core.graphLabels();
    const key = labels.map((l) => `${l.text}@${l.x},${l.y}`).join("|");
    if (key === this.labelKey) return;
    this.labelKey = key;
    this.labels.textContent = "";
    for (const l of labels) {
      const s = el("span", this.labels, undefined, undefined, l.text);
      place(s, l.x, l.y);
    }
  }

  // ------------------------------------------------------------------ building

  private client!: HTMLElement;

  private buildField(): void {
    const viewport = el("main", document.body, "viewport");
    const stage = (this.stage = el("div", viewport, "stage"));
    const client = (this.client = el("div", stage, "client"));
    client.style.setProperty("--background", `url(${background})`);
    // In the order the keyboard visits them: the temperature first, as on the desktop.
    const order: PaneId[] = ["paneField", "paneReadout", "paneLiquid", "paneButtons", "paneGraph", "paneStep"];
    for (const id of order) this.panes[id] = el("div", client, id, "pane");
    this.arrange(LAYOUTS[0]);
    const back = el("canvas", this.panes.paneField, "picBack", "pixels");
    back.width = 371; back.height = 457;
    back.setAttribute("role", "img");
    back.setAttribute("aria-label", "容器の中の分子");
    back.setAttribute("aria-describedby", "fieldDesc");
    this.fieldDesc = el("div", viewport, "fieldDesc", "sr-only");
    this.status = el("div", viewport, "announce", "sr-only");
    this.status.setAttribute("role", "status");
    this.at(back, "paneField", 37, 20, 371, 457);
    this.fieldCtx = back.getContext("2d")!;
    this.fieldImage = this.fieldCtx.createImageData(this.core.fieldWidth(), this.core.fieldHeight());
  }

  // Places a control at its place in the sideways window, within its part.
  private at(e: HTMLElement, pane: PaneId, x: number, y: number, w?: number, h?: number): void {
    place(e, x - PANES[pane].x, y - PANES[pane].y, w, h);
  }

  // Moves the parts to where the layout has them; the controls move with their parts.
  private arrange(l: Layout): void {
    this.layout = l;
    const [w, h] = stageSize(l);
    place(this.stage, 0, 0, w, h);
    place(this.client, 0, l.menuH, l.w, l.h);
    this.stage.dataset.layout = l.name;
    if (this.menubar) {
      place(this.menubar, 0, 0, w, l.menuH);
      for (const m of this.stage.querySelectorAll<HTMLElement>(".menulist")) m.style.top = l.menuH + "px";
    }
    for (const g of this.grooves) g.remove();
    this.grooves = l.grooves.map((b) => {
      const g = el("div", null, undefined, "groove");
      place(g, b.x, b.y, b.w, b.h);
      this.client.prepend(g);
      return g;
    });
    for (const id of Object.keys(PANES) as PaneId[]) {
      const p = this.panes[id], b = PANES[id];
      place(p, l.at[id][0], l.at[id][1], b.w, b.h);
      // Away from the picture, each part shows its own piece of it.
      p.style.backgroundPosition = `${-b.x}px ${-b.y}px`;
    }
    const liquid = this.panes.paneLiquid;
    liquid.classList.toggle("stacked", l.liquidStacked);
    const byId = (id: string) => document.getElementById(id);
    const box = byId("cmbLiquidBox"), list = byId("cmbLiquid"), mol = byId("lblMol"), val = byId("lblVal");
    if (l.liquidStacked) {
      // The list above the amounts, in a bar as wide as the space beside the field.
      place(liquid, l.at.paneLiquid[0], l.at.paneLiquid[1], 271, 100);
      if (box) place(box, 12, 14, 247, 27);
      if (list) place(list, 12, 27.5 - l.target / 2, 247, l.target);
      if (mol) place(mol, 20, 60);
      if (val) place(val, 120, 60);
    } else {
      if (box) this.at(box, "paneLiquid", 40, 500, 173, 27);
      if (list) this.at(list, "paneLiquid", 40, 513.5 - l.target / 2, 173, l.target);
      if (mol) this.at(mol, "paneLiquid", 240, 504);
      if (val) this.at(val, "paneLiquid", 320, 504);
    }
    // The picture buttons: their pictures at the desktop's size, centred in a target a
    // finger finds.
    ["picSinario", "picGrphSw", "picGrphCls"].forEach((id, i) => {
      const b = byId(id);
      if (!b) return;
      if (l.buttonsStacked) place(b, 0, i * (l.target + 12), 81, l.target);
      else place(b, i * 96, (47 - l.target) / 2, 81, l.target);
    });
    if (l.buttonsStacked) place(this.panes.paneButtons, l.at.paneButtons[0], l.at.paneButtons[1], 81, 3 * l.target + 24);
    const hit = byId("txtOndoHit");
    // Around the box, reaching upwards where a finger's area would meet the readout below.
    const hh = Math.max(54, l.target);
    if (hit) this.at(hit, "paneReadout", 532, Math.min(419, 473 - hh), 67, hh);
    this.stage.style.setProperty("--target", l.target + "px");
  }

  private build(): void {
    document.body.classList.toggle("touch", isTouch());
    this.buildMenu(this.stage);

    // The graph takes the focus: ← → read its points, the menu key opens its menu.
    const grph = el("div", this.panes.paneGraph, "picGrph");
    grph.tabIndex = 0;
    grph.setAttribute("role", "application");
    grph.setAttribute("aria-roledescription", "グラフ");
    grph.setAttribute("aria-label", "蒸気圧曲線のグラフ");
    grph.setAttribute("aria-describedby", "grphSummary");
    this.at(grph, "paneGraph", 446, 64, 315, 334);
    this.grphSummary = el("div", this.panes.paneGraph, "grphSummary", "sr-only");
    const table = el("table", this.panes.paneGraph, "grphTable", "sr-only");
    this.grphCaption = el("caption", table, undefined, undefined, "グラフの点");
    const head = el("tr", el("thead", table));
    for (const t of ["番号", "物質、温度、圧力"]) el("th", head, undefined, undefined, t).setAttribute("scope", "col");
    this.grphTable = el("tbody", table);
    table.hidden = true;
    grph.addEventListener("keydown", (e) => {
      if (!e.altKey && !e.ctrlKey && !e.metaKey && this.readPoint(e.key)) e.preventDefault();
    });
    const gc = (this.graphCanvas = el("canvas", grph, "picGrphCanvas"));
    gc.width = 315; gc.height = 334;
    place(gc, 0, 0, 315, 334);
    this.graphCtx = gc.getContext("2d")!;
    this.labels = el("div", grph, "grphLabels");
    this.legend = el("div", grph, "grphLegend");
    this.legend.setAttribute("role", "note");
    this.legend.setAttribute("aria-label", "凡例");
    this.legend.hidden = true;
    this.labels.setAttribute("aria-hidden", "true");
    grph.addEventListener("contextmenu", (e) => {
      e.preventDefault();
      this.showMenu("menu_File");
      this.menuItems()[0]?.focus();
    });

    // The picture buttons are buttons: Tab reaches them, Space and Enter press them, and
    // the two that stay lit say so.
    const button = (id: string, x: number, tip: string, src: string, toggle: boolean, click: () => void) => {
      const b = el("button", this.panes.paneButtons, id, "picbutton");
      b.type = "button";
      b.title = tip;
      b.setAttribute("aria-label", tip);
      if (toggle) b.setAttribute("aria-pressed", "false");
      const img = el("img", b);
      img.src = src;
      img.alt = "";
      img.draggable = false;
      this.at(b, "paneButtons", x, 8, 81, 47);
      b.addEventListener("click", click);
      b.addEventListener("contextmenu", (e) => e.preventDefault());
      return b;
    };
    this.picSinario = button("picSinario", 464, "シナリオ実行", sinarioOff, true, () =>
      this.apply(this.core.playbackToggle()));
    this.picGrphSw = button("picGrphSw", 560, "グラフ表示・非表示切替", grphSwOn, true, () =>
      this.apply(this.core.graphSwitch()));
    this.picGrphCls = button("picGrphCls", 656, "表示されているグラフの消去", grphClsOff, false, () => {
      this.picture(this.picGrphCls, grphClsOff);
      this.apply(this.core.graphClear());
    });
    // The clear button lights while pressed, as the desktop's flashes while it clears.
    const cls = this.picGrphCls, lit = (on: boolean) => this.picture(cls, on ? grphClsOn : grphClsOff);
    cls.addEventListener("pointerdown", () => lit(true));
    for (const ev of ["pointerup", "pointercancel", "pointerleave", "blur"]) cls.addEventListener(ev, () => lit(false));
    cls.addEventListener("keydown", (e) => { if (e.key === " " || e.key === "Enter") lit(true); });
    cls.addEventListener("keyup", () => lit(false));

    const text = (pane: PaneId, t: string, x: number, y: number, cls: string, id?: string) => {
      const s = el("div", this.panes[pane], id, "label " + cls, t);
      this.at(s, pane, x, y);
      return s;
    };
    // The control array Label1(0..3): each red text and its grey shadow.
    text("paneReadout", "温度", 477, 430, "big shadow", "Label1_1");
    text("paneReadout", "温度", 475, 428, "big red", "Label1_0");
    text("paneReadout", "圧力", 478, 480, "big shadow", "Label1_3");
    text("paneReadout", "圧力", 476, 479, "big red", "Label1_2");

    // A label around the box gives it a finger-sized target; its text stays as drawn.
    const ondoHit = el("label", this.panes.paneReadout, "txtOndoHit", "hit");
    ondoHit.htmlFor = "txtOndo";
    const ondo = (this.txtOndo = el("input", this.panes.paneReadout, "txtOndo", "box big"));
    ondo.value = "";
    ondo.autocomplete = "off";
    ondo.spellcheck = false;
    ondo.setAttribute("aria-label", "温度");
    ondo.setAttribute("enterkeyhint", "done");
    // The full keyboard, which has a minus sign (some numeric keypads have none), and no
    // correction of what is typed.
    ondo.inputMode = "text";
    ondo.setAttribute("autocapitalize", "off");
    ondo.setAttribute("autocorrect", "off");
    this.at(ondo, "paneReadout", 539, 428, 60, 36);
    // A composition shows nothing until committed; then its text counts like a keystroke.
    ondo.addEventListener("input", (e) => {
      this.fitTemperature();
      if ((e as InputEvent).isComposing) return;
      this.temperatureTyped();
    });
    ondo.addEventListener("compositionend", () => this.temperatureTyped());
    // ↑ ↓ step the temperature as ▲▼ do; held, they repeat.
    ondo.addEventListener("keydown", (e) => {
      if (e.isComposing || e.altKey || e.ctrlKey || e.metaKey) return;
      const code = e.key === "ArrowUp" ? 38 : e.key === "ArrowDown" ? 40 : 0;
      if (!code) return;
      e.preventDefault();
      this.apply(this.core.keyDown(code, this.now()));
    });

    this.buildSpinner(this.panes.paneReadout);

    this.lblTmp = text("paneReadout", "", 624, 432, "big plain", "lblTmp");
    const at = (this.txtAturyoku = el("input", this.panes.paneReadout, "txtAturyoku", "box big readout"));
    at.readOnly = true;
    at.tabIndex = -1;
    at.value = "";
    at.setAttribute("aria-label", "圧力");
    this.at(at, "paneReadout", 540, 475, 103, 36);
    this.lblPress = text("paneReadout", "", 648, 480, "big plain", "lblPress");

    // The visible box is 27 px tall; the list itself is taller and transparent, so a
    // finger finds it, and its text stays centred on the box.
    el("div", this.panes.paneLiquid, "cmbLiquidBox", "selectbox");
    const cmb = (this.cmbLiquid = el("select", this.panes.paneLiquid, "cmbLiquid", "liquid"));
    for (const name of ["水", "エタノール", "ジエチルエーテル"]) el("option", cmb, undefined, undefined, name);
    cmb.setAttribute("aria-label", "物質");
    cmb.addEventListener("change", () => this.apply(this.core.selectLiquid(cmb.selectedIndex, this.now())));
    cmb.addEventListener("keydown", (e) => {
      // During playback Space runs the next step here too, instead of opening the list.
      if (e.key === " " && this.core.playbackOn()) e.preventDefault();
    });

    this.lblMol = text("paneLiquid", "", 240, 504, "mid white", "lblMol");
    this.lblVal = text("paneLiquid", "", 320, 504, "mid white", "lblVal");
    // Under the graph, while playback is on: the class sees where the lesson stands.
    // Said through the one live region, with the readout, once a step has settled.
    this.lblStep = text("paneStep", "", 446, 401, "mid white", "lblStep");
    // Under the readout, while the data-book values are in use: the class sees which.
    this.lblDataBook = text("paneReadout", "", 540, 516, "databook", "lblDataBook");
    this.lblDataBook.hidden = true;
    this.arrange(this.layout);

    document.addEventListener("keyup", (e) => this.keyUp(e));
    document.addEventListener("keydown", (e) => this.keyDown(e));
    window.addEventListener("resize", () => this.applyZoom());
    document.addEventListener("fullscreenchange", () => this.applyZoom());
    document.addEventListener("webkitfullscreenchange", () => this.applyZoom());
    document.addEventListener("pointerdown", (e) => {
      if (this.openMenu && !(e.target as HTMLElement).closest(".menutitle, .menulist")) this.closeMenu();
    });
  }

  // A change of the box's text, once: Safari reports a committed composition both by its
  // end and by an input event after it.
  private temperatureTyped(): void {
    const text = this.txtOndo.value;
    if (text === this.shownTemperature) return;
    this.shownTemperature = text;
    this.apply(this.core.setTemperatureText(text, this.now()) | CHANGED.READOUT);
  }

  // The box keeps the desktop's size. Text wider than its room ("-120" among the usual
  // ones) is set smaller, so that it shows whole at every zoom, as the desktop condenses
  // its font; the stage's scale scales box and text alike.
  private ondoFont: { font: string; px: number; room: number; g: CanvasRenderingContext2D } | null = null;
  private fitTemperature(): void {
    const box = this.txtOndo;
    if (!this.ondoFont) {
      const cs = getComputedStyle(box);
      const g = document.createElement("canvas").getContext("2d");
      if (!g) return;
      const px = parseFloat(cs.fontSize);
      // Less a pixel or two the caret keeps at the end.
      const room = box.clientWidth - parseFloat(cs.paddingLeft) - parseFloat(cs.paddingRight) - 3;
      this.ondoFont = { font: `${cs.fontStyle} ${cs.fontWeight} ${px}px ${cs.fontFamily}`, px, room, g };
    }
    const f = this.ondoFont;
    f.g.font = f.font;
    const w = f.g.measureText(box.value).width;
    box.style.fontSize = w > f.room ? Math.floor((f.px * f.room * 10) / w) / 10 + "px" : "";
  }

  // Text that is no temperature stands out, and says why to a screen reader.
  private markTemperature(refused: boolean): void {
    this.txtOndo.classList.toggle("refused", refused);
    if (refused) this.txtOndo.setAttribute("aria-invalid", "true");
    else this.txtOndo.removeAttribute("aria-invalid");
    this.txtOndo.title = refused ? "温度として読めません（数字で、絶対零度より上の温度を入れてください）" : "";
  }

  private buildSpinner(pane: HTMLElement): void {
    const spin = el("div", pane, "UpDownOndo", "spinner");
    spin.setAttribute("role", "group");
    spin.setAttribute("aria-label", "温度の調整");
    this.at(spin, "paneReadout", 599, 430, 16, 33);
    const arrow = (id: string, dir: number, label: string, glyph: string) => {
      const b = el("button", spin, id, "arrow " + id, glyph);
      b.type = "button";
      b.tabIndex = -1;
      b.setAttribute("aria-label", label);
      let repeat = 0;
      const stop = () => { if (repeat) clearTimeout(repeat); repeat = 0; };
      // Held, it repeats as the desktop's does: a pause, then steady steps.
      const step = (delay: number) => {
        this.apply(this.core.spin(dir, this.now()));
        repeat = window.setTimeout(() => step(50), delay);
      };
      b.addEventListener("pointerdown", (e) => {
        e.preventDefault();
        stop();
        b.setPointerCapture?.(e.pointerId);
        step(400);
      });
      for (const ev of ["pointerup", "pointercancel", "lostpointercapture"]) b.addEventListener(ev, stop);
      // A click without a pointer (keyboard, assistive technology) steps once.
      b.addEventListener("click", (e) => { if (e.detail === 0) this.apply(this.core.spin(dir, this.now())); });
      return b;
    };
    arrow("UpDownOndoUp", +1, "温度を上げる", "▲");
    arrow("UpDownOndoDown", -1, "温度を下げる", "▼");
  }

  private keyUp(e: KeyboardEvent): void {
    if (anyDialogOpen() || this.openMenu || this.menuJustClosed(e)) return;
    // Enter and Space on a button press it; they are no playback key there.
    const t = e.target as HTMLElement;
    const pressed = (e.key === "Enter" || e.key === " ") && (t instanceof HTMLButtonElement || t.closest?.("#menubar"));
    const code = pressed ? 0 : e.key === "ArrowDown" ? 40 : e.key === "Enter" ? 13 : e.key === " " ? 32 : e.key === "F8" ? 119
      : e.key === "F2" ? 113 : 0;
    if (code === 119) this.toggleMotion(this.core.keyUp(code, this.now()));
    else if (code) this.apply(this.core.keyUp(code, this.now()));
  }

  private keyDown(e: KeyboardEvent): void {
    if (this.openMenu && (e.key === "Enter" || e.key === " ")) this.menuKeyDown = true;
    if (e.key === "F11") {
      e.preventDefault();
      this.toggleFullScreen();
      return;
    }
    if (anyDialogOpen()) return;
    if (e.key === "F9") {
      e.preventDefault();
      this.reset();
      return;
    }
    if (e.key === "F1") {
      e.preventDefault();
      this.closeMenu();
      openKeyHelp(this);
      return;
    }
    // The menus by their access keys: Alt+F, V, H, then the item's letter; arrows move.
    const bars: Record<string, string> = { f: "menu_File", v: "menu_View", h: "menu_Help" };
    const k = e.key.toLowerCase();
    const title = (e.target as HTMLElement).closest?.(".menutitle") as HTMLElement | null;
    if (e.altKey && bars[k]) {
      e.preventDefault();
      this.showMenu(bars[k]);
      this.menuItems()[0]?.focus();
    } else if (this.openMenu) {
      this.menuKey(e, k);
    } else if (title && !e.altKey && !e.ctrlKey) {
      // On the menu bar: ← → move along it, ↓ opens the menu.
      const titles = this.menuTitles(), at = titles.indexOf(title);
      if (e.key === "ArrowLeft" || e.key === "ArrowRight") {
        e.preventDefault();
        const next = titles[(at + (e.key === "ArrowRight" ? 1 : -1) + titles.length) % titles.length];
        this.rove(next);
        next.focus();
      } else if (e.key === "ArrowDown") {
        e.preventDefault();
        this.showMenu(title.id);
        this.menuItems()[0]?.focus();
      }
    }
  }

  // The keys of an open menu.
  private menuKey(e: KeyboardEvent, k: string): void {
    const list = this.openMenu!;
    const items = this.menuItems();
    const at = items.indexOf(document.activeElement as HTMLElement);
    const n = items.length;
    const titles = this.menuTitles();
    const title = document.getElementById(list.id.replace(/_list$/, ""))!;
    if (e.key === "Escape") {
      e.preventDefault();
      this.closeMenu(true);
    } else if (e.key === "Tab") {
      this.closeMenu();
    } else if (e.key === "ArrowDown" || e.key === "ArrowUp") {
      e.preventDefault();
      const step = e.key === "ArrowDown" ? 1 : -1;
      items[at < 0 ? (step > 0 ? 0 : n - 1) : (at + step + n) % n]?.focus();
    } else if (e.key === "Home" || e.key === "End") {
      e.preventDefault();
      items[e.key === "Home" ? 0 : n - 1]?.focus();
    } else if (e.key === "ArrowLeft" || e.key === "ArrowRight") {
      // Along the bar to the next menu, open at its first item.
      e.preventDefault();
      const next = titles[(titles.indexOf(title) + (e.key === "ArrowRight" ? 1 : -1) + titles.length) % titles.length];
      this.showMenu(next.id);
      this.menuItems()[0]?.focus();
    } else if (!e.altKey && !e.ctrlKey && /^[a-z]$/.test(k)) {
      if (k === "l" && list.id === "menu_File_list") {
        e.preventDefault();
        document.getElementById("menu_Lesson1")?.focus();
        return;
      }
      const item = items.find((b) => b.textContent!.toLowerCase().includes(`(${k})`));
      if (item) {
        e.preventDefault();
        item.click();
      }
    }
  }

  // The open menu's items that can be chosen now, in order.
  private menuItems(): HTMLElement[] {
    if (!this.openMenu) return [];
    return Array.from(this.openMenu.querySelectorAll<HTMLButtonElement>(".menuitem")).filter((b) => !b.disabled);
  }

  private menuTitles(): HTMLElement[] {
    return Array.from(this.menubar.querySelectorAll<HTMLElement>(".menutitle"));
  }

  // One title of the bar is in the Tab order: the one used last.
  private rove(title: HTMLElement): void {
    for (const t of this.menuTitles()) t.tabIndex = t === title ? 0 : -1;
  }

  // Enter or Space that chose a menu item is not also a playback key when released.
  private menuKeyDown = false;
  private menuJustClosed(e: KeyboardEvent): boolean {
    const was = this.menuKeyDown;
    this.menuKeyDown = false;
    return was && (e.key === "Enter" || e.key === " ");
  }

  // One step per tap: the step control stands in for a key release.
  nextStep(): void {
    this.apply(this.core.keyUp(40, this.now()));
  }

  // ------------------------------------------------------------------ menus

  private buildMenu(stage: HTMLElement): void {
    const bar = (this.menubar = el("div", stage, "menubar"));
    const menus = el("div", bar, "menus");
    menus.setAttribute("role", "menubar");
    menus.setAttribute("aria-label", "メニュー");
    const menu = (id: string, title: string) => {
      const t = el("button", menus, id, "menutitle", title);
      t.type = "button";
      t.setAttribute("role", "menuitem");
      t.setAttribute("aria-haspopup", "menu");
      t.setAttribute("aria-expanded", "false");
      t.tabIndex = menus.childElementCount === 1 ? 0 : -1;
      const list = el("div", stage, id + "_list", "menulist");
      list.setAttribute("role", "menu");
      list.setAttribute("aria-label", title.replace(/\(.\)$/, ""));
      list.hidden = true;
      t.addEventListener("click", (e) => {
        if (this.openMenu === list) return this.closeMenu();
        this.showMenu(id);
        if (e.detail === 0) this.menuItems()[0]?.focus(); // by the keyboard
      });
      return list;
    };
    const item = (list: HTMLElement, id: string, text: string, act: () => void, role = "menuitem") => {
      const b = el("button", list, id, "menuitem", text);
      b.type = "button";
      b.setAttribute("role", role);
      if (role !== "menuitem") {
        b.classList.add("check");
        b.setAttribute("aria-checked", "false");
      }
      b.addEventListener("click", () => { this.closeMenu(true); act(); });
      return b;
    };
    const sep = (list: HTMLElement) => {
      const s = el("div", list, undefined, "menusep");
      s.setAttribute("role", "separator");
      return s;
    };
    const column = (list: HTMLElement) => {
      const c = el("div", list, undefined, "menucol");
      c.setAttribute("role", "none");
      return c;
    };

    // The file menu in two halves, side by side where one column would not fit the screen.
    const fileList = menu("menu_File", "ファイル(F)");
    let file = column(fileList);
    item(file, "menu_Init", "初期設定(I)", () => openSettings(this));
    item(file, "menu_Sinario", "シナリオ設定(S)", () => openScenario(this));
    sep(file);
    // The sample lessons under their heading, always open: no submenu to aim at by finger.
    const lessons = el("div", file, undefined, "menugroup");
    lessons.setAttribute("role", "group");
    lessons.setAttribute("aria-labelledby", "menu_Lessons");
    const head = el("div", lessons, "menu_Lessons", "menuhead", "サンプルシナリオ(L)");
    head.setAttribute("role", "presentation");
    const n = this.core.lessonCount();
    for (let i = 0; i < n; i++) {
      const title = this.core.lessonTitle(i).trim();
      const lesson = item(lessons, "menu_Lesson" + (i + 1), title, () => {
        this.core.lessonLoad(i);
        this.activate(); // as after the editor's load: new caption, stored settings, clean graph
      });
      lesson.classList.add("sub");
    }
    item(file, "menu_Reset", "最初に戻す(B) (F9)", () => this.reset());
    sep(file).classList.add("split");
    file = column(fileList);
    item(file, "menu_GrphCopy", "グラフを画像としてコピー(C)", () => this.copyReport());
    item(file, "menu_GrphSave", "グラフを画像で保存(G)...", () => this.saveReport());
    item(file, "menu_CsvSave", "測定点を CSV で保存(D)...", () => this.saveCsv());
    // Off: the points typed through on the way to the number meant (2 on the way to 20)
    // stay on the panel but leave the picture and the table.
    item(file, "menu_TypedThrough", "入力途中の点も書き出す(A)", () => {
      this.core.setIncludeTypedThrough(!this.core.includeTypedThrough());
      this.settle();
    }, "menuitemcheckbox");
    sep(file);
    item(file, "menu_ConfigExport", "設定を書き出す...", () => this.exportConfig());
    item(file, "menu_ConfigImport", "設定を読み込む...", () => this.importConfig());
    sep(file);
    item(file, "menu_end", "終了(X)", () => window.close());

    const view = menu("menu_View", "表示(V)");
    const zoomGroup = el("div", view, undefined, "menugroup");
    zoomGroup.setAttribute("role", "group");
    zoomGroup.setAttribute("aria-label", "倍率");
    const zooms: [string, number][] = [["画面に合わせる", 0], ["100%", 100], ["150%", 150], ["200%", 200]];
    for (const [label, z] of zooms)
      item(zoomGroup, z ? "menu_Zoom" + z : "menu_ZoomFit", label, () => this.setZoom(z), "menuitemradio").dataset.zoom = String(z);
    sep(view);
    item(view, "menu_FullScreen", "全画面表示 (F11)", () => this.toggleFullScreen());
    sep(view);
    item(view, "menu_DataBook", "文献値で計算する(R)", () => this.toggleDataBook(), "menuitemcheckbox");
    sep(view);
    item(view, "menu_Legend", "凡例を表示(L)", () => this.toggleLegend(), "menuitemcheckbox");
    item(view, "menu_Markers", "点を形でも区別する(M) (F2)", () =>
      this.apply(this.core.setDistinctMarkers(!this.core.distinctMarkers())), "menuitemcheckbox");

    const help = menu("menu_Help", "ヘルプ(H)");
    item(help, "menu_search", "検索(H)", () => {});
    item(help, "menu_ver", "バージョン情報(A)", () => openAbout(this));
    item(help, "menu_Keys", "キー操作(K) (F1)", () => openKeyHelp(this));

    el("div", bar, undefined, "menuspacer");
    // The molecules' motion: the pupil's to stop, and F8 does the same.
    const motion = (this.cmdMotion = el("button", bar, "cmdMotion", "barbutton"));
    motion.type = "button";
    motion.addEventListener("click", () => this.toggleMotion(this.core.setMotion(!this.core.motionOn(), this.now())));
    const next = (this.cmdNextStep = el("button", bar, "cmdNextStep", "barbutton", "次へ "));
    el("span", next, undefined, undefined, "▶").setAttribute("aria-hidden", "true");
    next.type = "button";
    next.hidden = true;
    // A tap leaves the focus where it was, so Space or Enter after it is not a second step.
    next.addEventListener("pointerdown", (e) => e.preventDefault());
    next.addEventListener("click", () => this.nextStep());
    const fs = el("button", bar, "cmdFullScreen", "barbutton", "全画面");
    fs.type = "button";
    fs.addEventListener("pointerdown", (e) => e.preventDefault());
    fs.addEventListener("click", () => this.toggleFullScreen());
    // Where the focus was in the window before a menu took it, to give it back.
    document.addEventListener("focusin", (e) => {
      const t = e.target as HTMLElement;
      if (t instanceof HTMLElement && this.stage.contains(t) && !t.closest("#menubar, .menulist")) this.lastMainFocus = t;
    });
  }

  showMenu(id: string): void {
    this.closeMenu();
    const list = document.getElementById(id + "_list")!;
    const title = document.getElementById(id)!;
    this.offerZooms();
    for (const b of list.querySelectorAll<HTMLElement>(".check")) {
      const on = b.id === "menu_DataBook" ? this.store.prefs.dataBook
        : b.id === "menu_Legend" ? this.store.prefs.legend
        : b.id === "menu_Markers" ? this.core.distinctMarkers()
        : b.id === "menu_TypedThrough" ? this.core.includeTypedThrough()
        : Number(b.dataset.zoom) === this.zoomShown;
      b.classList.toggle("checked", on);
      b.setAttribute("aria-checked", String(on));
    }
    list.hidden = false;
    this.openMenu = list;
    title.setAttribute("aria-expanded", "true");
    title.setAttribute("aria-controls", list.id);
    this.rove(title);
    this.fitMenu(list, title);
  }

  // A menu opens under its title at its top, within the screen: in one column where that
  // fits, else in two, else it scrolls.
  private fitMenu(list: HTMLElement, title: HTMLElement): void {
    const vh = document.documentElement.clientHeight;
    const top = this.stage.getBoundingClientRect().top;
    const room = (vh - top) / this.scale - this.layout.menuH - 2;
    const width = stageSize(this.layout)[0];
    list.classList.remove("wide");
    list.style.maxHeight = room + "px";
    if (list.scrollHeight > room + 0.5 && list.querySelector(".menucol")) {
      list.classList.add("wide");
      if (list.offsetWidth > width || list.scrollHeight > room + 0.5) list.classList.remove("wide");
    }
    list.style.left = Math.max(0, Math.min(title.offsetLeft, width - list.offsetWidth)) + "px";
    list.scrollTop = 0;
  }

  // back: the focus returns where it was before the menu (a choice made, or Esc).
  closeMenu(back = false): void {
    const list = this.openMenu;
    if (!list) return;
    const had = list.contains(document.activeElement);
    list.hidden = true;
    this.openMenu = null;
    const title = document.getElementById(list.id.replace(/_list$/, ""));
    title?.setAttribute("aria-expanded", "false");
    title?.removeAttribute("aria-controls");
    if (back && had) {
      const to = this.lastMainFocus && this.lastMainFocus.isConnected ? this.lastMainFocus : this.txtOndo;
      to.focus();
    }
  }

  // ------------------------------------------------------------------ view

  private setZoom(z: number): void {
    if (!this.store.savePref("zoom", z)) messageBox(this, STORAGE_FAILED);
    this.applyZoom();
  }

  // Whether the stage fits the window at zoom z (%); the window's shape chooses the layout.
  private zoomFits(z: number): boolean {
    const vw = document.documentElement.clientWidth, vh = document.documentElement.clientHeight;
    const [w, h] = stageSize(this.layout);
    return (w * z) / 100 <= vw + 0.5 && (h * z) / 100 <= vh + 0.5;
  }

  // As the desktop offers only the zooms whose window fits the screen, the menu offers only
  // those that fit the window; the others are greyed and say why.
  private offerZooms(): void {
    const vw = document.documentElement.clientWidth, vh = document.documentElement.clientHeight;
    const [w, h] = stageSize(this.layout);
    for (const z of ZOOMS) {
      const b = document.getElementById("menu_Zoom" + z) as HTMLButtonElement | null;
      if (!b) continue;
      const fits = this.zoomFits(z);
      b.disabled = !fits;
      b.setAttribute("aria-disabled", String(!fits));
      b.title = fits ? "" : `${z}% には ${Math.ceil((w * z) / 100)} × ${Math.ceil((h * z) / 100)} の広さが要ります（いまのウィンドウは ${vw} × ${vh}）`;
    }
  }

  // Fitted to the window unless a fixed zoom is chosen and fits; full screen always fits. A
  // remembered zoom that no longer fits stays remembered, for a larger window.
  applyZoom(): void {
    const vw = document.documentElement.clientWidth, vh = document.documentElement.clientHeight;
    const viewport = this.stage.parentElement!;
    let layout = chooseLayout(vw, vh);
    let fit = fitScale(layout, vw, vh);
    // Too small to fit whole at the floor (a browser zoomed in, a small window): the widest
    // layout whose width fits at it, as wide as the window, scrolling downwards.
    const scrolls = !isTouch() && fit < FLOOR;
    viewport.classList.toggle("scrolls", scrolls);
    let room = vw;
    if (scrolls) {
      room = viewport.clientWidth;
      layout = LAYOUTS.find((l) => l.w * FLOOR <= room) ?? LAYOUTS[LAYOUTS.length - 1];
      fit = room / layout.w;
    }
    if (layout !== this.layout) {
      this.closeMenu();
      this.arrange(layout);
    }
    const [sw, sh] = stageSize(layout);
    const z = this.store.prefs.zoom;
    const full = document.fullscreenElement || (document as any).webkitFullscreenElement;
    this.zoomShown = !full && z && this.zoomFits(z) ? z : 0;
    const s = this.zoomShown ? this.zoomShown / 100 : fit;
    this.scale = s;
    const w = sw * s, h = sh * s;
    this.stage.style.transform = `scale(${s})`;
    const dpr = window.devicePixelRatio || 1;
    this.stage.style.left = Math.round(Math.max(0, (room - w) / 2) * dpr) / dpr + "px";
    this.stage.style.top = scrolls ? "0px" : Math.round(Math.max(0, (vh - h) / 2) * dpr) / dpr + "px";
    // A finger's 44 CSS px in the stage's pixels, for the menus' items.
    this.stage.style.setProperty("--finger", 44.5 / s + "px");
    this.layOutGraph(s);
    if (this.openMenu) this.showMenu(this.openMenu.id.replace(/_list$/, ""));
  }

  // The graph drawn at the display's own pixels: its canvas holds exactly the pixels its box
  // covers on the display, so the stage's scale copies it one to one and every grid line
  // stays one pixel thin. Its labels are at least 12 CSS pixels, larger as the stage grows.
  private layOutGraph(s: number): void {
    const dpr = window.devicePixelRatio || 1;
    const w = Math.max(1, Math.round(315 * s * dpr)), h = Math.max(1, Math.round(334 * s * dpr));
    if (`${w}x${h}` !== this.graphDevice) {
      this.graphDevice = `${w}x${h}`;
      this.core.graphLayout(w, h);
      this.drawGraph();
    }
    // Its corner on a display pixel too: an engine that snaps a box's edges to pixels would
    // otherwise stretch it by one, and a grid line would show two pixels wide.
    const r = this.graphCanvas.parentElement!.getBoundingClientRect();
    const nudge = (v: number) => (Math.round(v * dpr) - v * dpr) / (s * dpr);
    place(this.graphCanvas, nudge(r.left), nudge(r.top), w / (s * dpr), h / (s * dpr));
    const px = Math.max(9, 12 / s);
    if (Math.abs(px - this.labelPx) > 0.01) {
      this.labelPx = px;
      this.labels.style.setProperty("--label-size", px + "px");
      this.apply(this.measureLabelFont());
    }
  }

  // Older Safari (iPadOS before 16.4) knows full screen only by its prefixed names.
  toggleFullScreen(): void {
    const d = document as any, root = document.documentElement as any;
    if (document.fullscreenElement || d.webkitFullscreenElement) {
      (document.exitFullscreen ?? d.webkitExitFullscreen)?.call(document);
    } else {
      const r = (root.requestFullscreen ?? root.webkitRequestFullscreen)?.call(root);
      if (r && typeof r.catch === "function") r.catch(() => {});
    }
  }

  private toggleLegend(): void {
    const stored = this.store.savePref("legend", !this.store.prefs.legend);
    this.drawLegend();
    if (!stored) messageBox(this, STORAGE_FAILED);
  }

  // The choice follows the menu, F2 and another tab alike; stored once it changed.
  private rememberMarkers(): void {
    const on = this.core.distinctMarkers();
    if (on !== this.store.prefs.markers && !this.store.savePref("markers", on)) messageBox(this, STORAGE_FAILED);
  }

  // The legend over the graph's empty upper-left corner: each line's marker drawn on its
  // cells as the panel draws it, then its text.
  private drawLegend(): void {
    const items = this.store.prefs.legend ? this.core.panelLegend() : [];
    const key = items.map((i) => `${i.color}/${i.shape}/${i.text}`).join("|");
    if (key === this.legendKey) return;
    this.legendKey = key;
    this.legend.replaceChildren();
    this.legend.hidden = items.length === 0;
    for (const it of items) {
      const row = el("div", this.legend, undefined, "legendrow");
      const n = this.core.markCells(it.shape);
      const mark = el("span", row, undefined, "legendmark");
      mark.setAttribute("aria-hidden", "true");
      mark.style.gridTemplateColumns = `repeat(${n}, 1fr)`;
      const color = "#" + it.color.toString(16).padStart(6, "0");
      for (let y = 0; y < n; y++)
        for (let x = 0; x < n; x++) el("i", mark).style.background = this.core.markInked(it.shape, x, y) ? color : "transparent";
      el("span", row, undefined, undefined, it.text);
    }
  }

  private toggleDataBook(): void {
    const on = !this.store.prefs.dataBook;
    const stored = this.store.savePref("dataBook", on);
    this.apply(this.core.setDataBook(on, this.now()) | CHANGED.SETTINGS);
    if (!stored) messageBox(this, STORAGE_FAILED);
  }

  // ------------------------------------------------------------------ files

  async saveScenario(): Promise<void> {
    const bytes = this.core.sinarioEncode();
    await saveBytes(bytes, fileName(this.core.sinarioTitleTrimmed(), "シナリオ", ".so1"),
      "application/octet-stream", ".so1", "シナリオデータ(*.so1)");
  }

  // Loads a .so1 the user picks; a file the cores refuse leaves the scenario as it was.
  async loadScenario(): Promise<boolean> {
    const f = await pickFile(".so1", 1 << 20);
    if (!f) return false;
    if (!this.core.sinarioDecode(f.bytes, f.name)) {
      await messageBox(this, this.core.errorText());
      return false;
    }
    document.title = this.core.caption();
    return true;
  }

  // Stores the settings in memory into the CONFIG.INI stored now (followStorage has just
  // taken it in); a storage failure is reported.
  saveSettings(): void {
    if (!this.store.saveConfig(this.core.settingsToIni(this.store.config))) messageBox(this, STORAGE_FAILED);
  }

  // The stored file's bytes as they are: a file taken in and given out unchanged is the same file.
  private exportConfig(): void {
    this.followStorage();
    const bytes = this.store.config.length ? this.store.config : this.core.settingsToIni(new Uint8Array(0));
    download(bytes, "CONFIG.INI", "application/octet-stream");
  }

  // The file's bytes go to the cores as they are; they decide what is a settings file.
  private async importConfig(): Promise<void> {
    const READ = 1 << 20; // more than any settings file: a larger one is refused by its size
    const f = await pickFile(".ini,.INI,text/plain", READ);
    if (!f) return;
    const kept = f.bytes.length < Math.min(f.size, READ) ? null : this.core.configImport(f.bytes, f.size);
    if (!kept) {
      const why = f.bytes.length < Math.min(f.size, READ) ? "ファイルを読めませんでした。" : this.core.errorText();
      await messageBox(this, `「${f.name}」を設定ファイル（CONFIG.INI）として読み込めません。\n${why}`);
      return;
    }
    if (!this.store.saveConfig(kept)) messageBox(this, STORAGE_FAILED);
    this.activate();
  }

  // The cores lay out the picture; the browser only measures and prints its texts.
  private reportCanvas(): HTMLCanvasElement {
    const family = getComputedStyle(document.body).fontFamily;
    const font = (px: number, bold: boolean) => `${bold ? "bold " : ""}${px}px ${family}`;
    const c = document.createElement("canvas");
    const g = c.getContext("2d")!;
    g.font = font(27, false);
    this.core.setLabelInk(1, (ch) => {
      g.textBaseline = "top";
      const m = g.measureText(ch);
      return [m.width, -m.actualBoundingBoxLeft, -m.actualBoundingBoxAscent, m.actualBoundingBoxRight, m.actualBoundingBoxDescent];
    });
    const r = this.core.reportMake((t) => g.measureText(t).width);
    c.width = r.width;
    c.height = r.height;
    const img = g.createImageData(r.width, r.height);
    img.data.set(r.pixels);
    g.putImageData(img, 0, 0);
    g.fillStyle = "#000";
    for (const t of r.texts) {
      g.font = font(t.pixels, t.bold);
      g.save();
      if (t.place === 0) {
        g.textBaseline = "top";
        g.fillText(t.text, t.x, t.y);
      } else if (t.place === 1) {
        g.textBaseline = "top";
        g.textAlign = "center";
        g.fillText(t.text, t.x + t.w / 2, t.y);
      } else if (t.place === 2) {
        g.translate(t.x + t.w / 2, t.y + t.h / 2);
        g.rotate(-Math.PI / 2);
        g.textAlign = "center";
        g.textBaseline = "middle";
        g.fillText(t.text, 0, 0);
      } else {
        g.textBaseline = "middle";
        g.fillText(t.text, t.x, t.y);
      }
      g.restore();
    }
    return c;
  }

  // The canvas's PNG with the picture's real resolution, so that it pastes at the panel's size.
  private async reportBlob(): Promise<Blob> {
    const c = this.reportCanvas();
    const b = await new Promise<Blob>((res, rej) => c.toBlob((b) => (b ? res(b) : rej(new Error("no picture"))), "image/png"));
    return new Blob([this.core.reportPng(new Uint8Array(await b.arrayBuffer()))], { type: "image/png" });
  }

  private async saveReport(): Promise<void> {
    const b = await this.reportBlob();
    await saveBytes(new Uint8Array(await b.arrayBuffer()), "蒸気圧曲線.png", "image/png", ".png", "PNG 画像");
  }

  private async copyReport(): Promise<void> {
    try {
      const CI = (window as any).ClipboardItem;
      await navigator.clipboard.write([new CI({ "image/png": this.reportBlob() })]);
    } catch {
      await messageBox(this, "このブラウザーでは画像をコピーできません。「グラフを画像で保存」を使ってください。");
    }
  }

  private saveCsv(): void {
    saveBytes(this.core.pointsCsv(), "測定点.csv", "text/csv", ".csv", "CSV");
  }

  get stageElement(): HTMLElement {
    return this.stage;
  }
}

async function main(): Promise<void> {
  let core: Core;
  (window as any).__t0 = performance.now();
  try {
    core = await Core.load();
    (window as any).__t1 = performance.now();
  } catch (e) {
    document.body.textContent = "このブラウザーではVaporiaを動かせません（WebAssemblyが使えません）。";
    return;
  }
  const app = new App(core);
  (window as any).vaporia = app; // for tests and the console
  app.start();
  (window as any).__t2 = performance.now();
  if (/^https?:$/.test(location.protocol)) {
    const link = el("link", document.head);
    link.rel = "manifest";
    link.href = "manifest.webmanifest";
    // The worker's scope is the program's folder, and it answers only for the program's files.
    // Every visit asks for a new worker: browsers skip the check they make by themselves at
    // times. A server that answers 404 for the worker has withdrawn the program; registering
    // may have brought back the worker that withdrew itself, so it goes again.
    const sw = navigator.serviceWorker;
    if (sw)
      sw.register("sw.js", { scope: "./", updateViaCache: "none" })
        .then((r) => r.update().catch(async () => {
          const a = await fetch("sw.js", { cache: "no-store" });
          if (a.status === 404 || a.status === 410) await r.unregister();
        }))
        // No worker to register: the one in control checks, and leaves with its files.
        .catch(() => sw.controller?.postMessage("withdrawn?"));
  }
}

main();

// The browser face: the main window at its designed 800 × 559 (its parts moved to use an
// upright screen, see layout.ts), the menus and the three dialogs. It reads its controls,
// calls the cores and draws what they return.
import { Core, CHANGED, NO_WAKE } from "./core";
import { el, place, saveBytes, download, pickFile, fileName } from "./dom";
import { Store, isOwnKey, STORAGE_FAILED, STORAGE_READ_FAILED, STORAGE_DAMAGED } from "./storage";
import { openSettings, openScenario, openAbout, messageBox, anyDialogOpen, isTouch } from "./dialogs";
import { Layout, LAYOUTS, PANES, PaneId, chooseLayout, stageSize } from "./layout";
import background from "../gen/background.png";
import sinarioOn from "../../assets/sinario_on.png";
import sinarioOff from "../../assets/sinario_off.png";
import grphSwOn from "../../assets/grphsw_on.png";
import grphSwOff from "../../assets/grphsw_off.png";
import grphClsOn from "../../assets/grphcls_on.png";
import grphClsOff from "../../assets/grphcls_off.png";

const ALL = 0x1ff;
const ZOOMS = [100, 150, 200];

export class App {
  readonly core: Core;
  store!: Store;
  private timer = 0;
  private fieldImage!: ImageData;
  private graphCanvas!: HTMLCanvasElement;
  private graphDevice = ""; // the graph's size on the display, as last laid out
  private labelPx = 9;      // the grid labels' size, in the stage's pixels
  private fieldCtx!: CanvasRenderingContext2D;
  private graphCtx!: CanvasRenderingContext2D;
  private stage!: HTMLElement;
  txtOndo!: HTMLInputElement;
  private txtAturyoku!: HTMLInputElement;
  private cmbLiquid!: HTMLSelectElement;
  private labels!: HTMLElement;
  private picSinario!: HTMLImageElement;
  private picGrphSw!: HTMLImageElement;
  private picGrphCls!: HTMLImageElement;
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
    this.drawField();
    // The browser's storage opens slowly the first time: after the first frame.
    this.store = new Store((bytes) => this.core.configImport(bytes, bytes.length));
    this.build();
    this.measureLabelFont();
    this.core.setDataBook(this.store.prefs.dataBook, this.now());
    this.activate();
    this.applyZoom();
    this.txtOndo.focus();
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
    if (changed & (CHANGED.READOUT | CHANGED.TEMPERATURE | CHANGED.SETTINGS)) this.markTemperature(c.temperatureRefused());
    if (changed & CHANGED.FIELD) this.drawField();
    if (changed & CHANGED.GRAPH) this.drawGraph();
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
      this.picSinario.src = on ? sinarioOn : sinarioOff;
      this.cmdNextStep.hidden = !on;
      this.lblStep.textContent = c.playbackText();
    }
    if (changed & CHANGED.GRAPH_SHOWN) this.picGrphSw.src = c.graphShown() ? grphSwOn : grphSwOff;
    if (changed & CHANGED.SCENARIO) document.title = c.caption();
    if (changed & CHANGED.NOTICE) {
      const notice = c.takeNotice();
      if (notice) void messageBox(this, notice);
    }
    this.schedule();
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
      this.graphCtx.putImageData(new ImageData(r.data, r.width, r.height), 0, 0, l, t, right - l, bottom - t);
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
    const viewport = el("div", document.body, "viewport");
    const stage = (this.stage = el("div", viewport, "stage"));
    const client = (this.client = el("div", stage, "client"));
    client.style.setProperty("--background", `url(${background})`);
    for (const id of Object.keys(PANES) as PaneId[]) this.panes[id] = el("div", client, id, "pane");
    this.arrange(LAYOUTS[0]);
    const back = el("canvas", this.panes.paneField, "picBack", "pixels");
    back.width = 371; back.height = 457;
    back.setAttribute("aria-label", "容器");
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

    const grph = el("div", this.panes.paneGraph, "picGrph");
    grph.setAttribute("aria-label", "蒸気圧曲線のグラフ");
    grph.setAttribute("role", "img");
    this.at(grph, "paneGraph", 446, 64, 315, 334);
    const gc = (this.graphCanvas = el("canvas", grph, "picGrphCanvas"));
    gc.width = 315; gc.height = 334;
    place(gc, 0, 0, 315, 334);
    this.graphCtx = gc.getContext("2d")!;
    this.labels = el("div", grph, "grphLabels");
    grph.addEventListener("contextmenu", (e) => { e.preventDefault(); this.showMenu("menu_File"); });

    const button = (id: string, x: number, tip: string, src: string, click: () => void) => {
      const b = el("img", this.panes.paneButtons, id, "picbutton");
      b.src = src;
      b.alt = tip;
      b.title = tip;
      b.setAttribute("role", "button");
      b.draggable = false;
      this.at(b, "paneButtons", x, 8, 81, 47);
      b.addEventListener("click", click);
      b.addEventListener("contextmenu", (e) => e.preventDefault());
      return b;
    };
    this.picSinario = button("picSinario", 464, "シナリオ実行", sinarioOff, () =>
      this.apply(this.core.playbackToggle()));
    this.picGrphSw = button("picGrphSw", 560, "グラフ表示・非表示切替", grphSwOn, () =>
      this.apply(this.core.graphSwitch()));
    this.picGrphCls = button("picGrphCls", 656, "表示されているグラフの消去", grphClsOff, () => {
      this.picGrphCls.src = grphClsOff;
      this.apply(this.core.graphClear());
    });
    // The clear button lights while pressed, as the desktop's flashes while it clears.
    this.picGrphCls.addEventListener("pointerdown", () => (this.picGrphCls.src = grphClsOn));
    for (const ev of ["pointerup", "pointercancel", "pointerleave"])
      this.picGrphCls.addEventListener(ev, () => (this.picGrphCls.src = grphClsOff));

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

    this.buildSpinner(this.panes.paneReadout);

    this.lblTmp = text("paneReadout", "", 624, 432, "big plain", "lblTmp");
    this.lblTmp.setAttribute("aria-label", "温度の単位");
    const at = (this.txtAturyoku = el("input", this.panes.paneReadout, "txtAturyoku", "box big readout"));
    at.readOnly = true;
    at.tabIndex = -1;
    at.value = "";
    at.setAttribute("aria-label", "圧力");
    this.at(at, "paneReadout", 540, 475, 103, 36);
    this.lblPress = text("paneReadout", "", 648, 480, "big plain", "lblPress");
    this.lblPress.setAttribute("aria-label", "圧力の単位");

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
    this.lblMol.setAttribute("aria-label", "物質量");
    this.lblVal = text("paneLiquid", "", 320, 504, "mid white", "lblVal");
    this.lblVal.setAttribute("aria-label", "容器の体積");
    // Under the graph, while playback is on: the class sees where the lesson stands.
    this.lblStep = text("paneStep", "", 446, 401, "mid white", "lblStep");
    this.lblStep.setAttribute("role", "status");
    this.lblStep.setAttribute("aria-label", "再生の位置");
    // Under the readout, while the data-book values are in use: the class sees which.
    this.lblDataBook = text("paneReadout", "", 540, 516, "databook", "lblDataBook");
    this.lblDataBook.setAttribute("aria-label", "蒸気圧の値");
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
    const code = e.key === "ArrowDown" ? 40 : e.key === "Enter" ? 13 : e.key === " " ? 32 : 0;
    if (code) this.apply(this.core.keyUp(code, this.now()));
  }

  private keyDown(e: KeyboardEvent): void {
    if (this.openMenu && (e.key === "Enter" || e.key === " ")) this.menuKeyDown = true;
    if (e.key === "F11") {
      e.preventDefault();
      this.toggleFullScreen();
      return;
    }
    if (e.key === "F9" && !anyDialogOpen()) {
      e.preventDefault();
      this.reset();
      return;
    }
    if (anyDialogOpen()) return;
    // The menus by their access keys: Alt+F, V, H, then the item's letter; arrows move.
    const bars: Record<string, string> = { f: "menu_File", v: "menu_View", h: "menu_Help" };
    const k = e.key.toLowerCase();
    if (e.altKey && bars[k]) {
      e.preventDefault();
      this.showMenu(bars[k]);
      this.openMenu?.querySelector<HTMLElement>(".menuitem")?.focus();
    } else if (this.openMenu) {
      const items = Array.from(this.openMenu.querySelectorAll<HTMLElement>(".menuitem"));
      const at = items.indexOf(document.activeElement as HTMLElement);
      if (e.key === "Escape") {
        this.closeMenu();
        this.txtOndo.focus();
      } else if (e.key === "ArrowDown" || e.key === "ArrowUp") {
        e.preventDefault();
        const n = items.length, step = e.key === "ArrowDown" ? 1 : -1;
        items[(at + step + n) % n]?.focus();
      } else if (!e.altKey && !e.ctrlKey && /^[a-z]$/.test(k)) {
        if (k === "l" && this.openMenu.id === "menu_File_list") {
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
    bar.setAttribute("role", "menubar");
    const menu = (id: string, title: string) => {
      const t = el("button", bar, id, "menutitle", title);
      t.type = "button";
      t.setAttribute("aria-haspopup", "true");
      const list = el("div", stage, id + "_list", "menulist");
      list.setAttribute("role", "menu");
      list.hidden = true;
      t.addEventListener("click", () => (this.openMenu === list ? this.closeMenu() : this.showMenu(id)));
      return list;
    };
    const item = (list: HTMLElement, id: string, text: string, act: () => void) => {
      const b = el("button", list, id, "menuitem", text);
      b.type = "button";
      b.setAttribute("role", "menuitem");
      b.addEventListener("click", () => { this.closeMenu(); act(); });
      return b;
    };
    const sep = (list: HTMLElement) => el("div", list, undefined, "menusep");

    // The file menu in two halves, side by side where one column would not fit the screen.
    const fileList = menu("menu_File", "ファイル(F)");
    let file = el("div", fileList, undefined, "menucol");
    item(file, "menu_Init", "初期設定(I)", () => openSettings(this));
    item(file, "menu_Sinario", "シナリオ設定(S)", () => openScenario(this));
    sep(file);
    // The sample lessons under their heading, always open: no submenu to aim at by finger.
    const head = el("div", file, "menu_Lessons", "menuhead", "サンプルシナリオ(L)");
    head.setAttribute("role", "presentation");
    const n = this.core.lessonCount();
    for (let i = 0; i < n; i++) {
      const title = this.core.lessonTitle(i).trim();
      const lesson = item(file, "menu_Lesson" + (i + 1), title, () => {
        this.core.lessonLoad(i);
        this.activate(); // as after the editor's load: new caption, stored settings, clean graph
      });
      lesson.classList.add("sub");
    }
    item(file, "menu_Reset", "最初に戻す(B) (F9)", () => this.reset());
    sep(file).classList.add("split");
    file = el("div", fileList, undefined, "menucol");
    item(file, "menu_GrphCopy", "グラフを画像としてコピー(C)", () => this.copyReport());
    item(file, "menu_GrphSave", "グラフを画像で保存(G)...", () => this.saveReport());
    item(file, "menu_CsvSave", "測定点を CSV で保存(D)...", () => this.saveCsv());
    // Off: the points typed through on the way to the number meant (2 on the way to 20)
    // stay on the panel but leave the picture and the table.
    const all = item(file, "menu_TypedThrough", "入力途中の点も書き出す(A)", () =>
      this.core.setIncludeTypedThrough(!this.core.includeTypedThrough()));
    all.classList.add("check");
    sep(file);
    item(file, "menu_ConfigExport", "設定を書き出す...", () => this.exportConfig());
    item(file, "menu_ConfigImport", "設定を読み込む...", () => this.importConfig());
    sep(file);
    item(file, "menu_end", "終了(X)", () => window.close());

    const view = menu("menu_View", "表示(V)");
    const zooms: [string, number][] = [["画面に合わせる", 0], ["100%", 100], ["150%", 150], ["200%", 200]];
    for (const [label, z] of zooms) {
      const b = item(view, z ? "menu_Zoom" + z : "menu_ZoomFit", label, () => this.setZoom(z));
      b.classList.add("check");
      b.dataset.zoom = String(z);
    }
    sep(view);
    item(view, "menu_FullScreen", "全画面表示 (F11)", () => this.toggleFullScreen());
    sep(view);
    const db = item(view, "menu_DataBook", "文献値で計算する(R)", () => this.toggleDataBook());
    db.classList.add("check");

    const help = menu("menu_Help", "ヘルプ(H)");
    item(help, "menu_search", "検索(H)", () => {});
    item(help, "menu_ver", "バージョン情報(A)", () => openAbout(this));

    el("div", bar, undefined, "menuspacer");
    const next = (this.cmdNextStep = el("button", bar, "cmdNextStep", "barbutton", "次へ ▶"));
    next.type = "button";
    next.hidden = true;
    next.setAttribute("aria-label", "次のステップ");
    // Never focused, so Space or Enter after a tap is not a second step.
    next.addEventListener("pointerdown", (e) => e.preventDefault());
    next.addEventListener("click", () => this.nextStep());
    const fs = el("button", bar, "cmdFullScreen", "barbutton", "全画面");
    fs.type = "button";
    fs.setAttribute("aria-label", "全画面表示");
    fs.addEventListener("pointerdown", (e) => e.preventDefault());
    fs.addEventListener("click", () => this.toggleFullScreen());
  }

  showMenu(id: string): void {
    this.closeMenu();
    const list = document.getElementById(id + "_list")!;
    this.offerZooms();
    for (const b of list.querySelectorAll<HTMLElement>(".check")) {
      const on = b.id === "menu_DataBook" ? this.store.prefs.dataBook
        : b.id === "menu_TypedThrough" ? this.core.includeTypedThrough()
        : Number(b.dataset.zoom) === this.zoomShown;
      b.classList.toggle("checked", on);
      b.setAttribute("aria-checked", String(on));
    }
    list.hidden = false;
    this.openMenu = list;
    this.fitMenu(list, document.getElementById(id)!);
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

  closeMenu(): void {
    if (this.openMenu) this.openMenu.hidden = true;
    this.openMenu = null;
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
    const layout = chooseLayout(vw, vh);
    if (layout !== this.layout) {
      this.closeMenu();
      this.arrange(layout);
    }
    const [sw, sh] = stageSize(layout);
    const fit = Math.min(vw / sw, vh / sh);
    const z = this.store.prefs.zoom;
    const full = document.fullscreenElement || (document as any).webkitFullscreenElement;
    this.zoomShown = !full && z && this.zoomFits(z) ? z : 0;
    const s = this.zoomShown ? this.zoomShown / 100 : fit;
    this.scale = s;
    const w = sw * s, h = sh * s;
    this.stage.style.transform = `scale(${s})`;
    const dpr = window.devicePixelRatio || 1;
    this.stage.style.left = Math.round(Math.max(0, (vw - w) / 2) * dpr) / dpr + "px";
    this.stage.style.top = Math.round(Math.max(0, (vh - h) / 2) * dpr) / dpr + "px";
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
        .catch(() => {});
  }
}

main();

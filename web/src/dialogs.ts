// The three dialogs and the message box, modal over the main window. Each closes by its
// own buttons or its title bar's ×; closing runs the main window's activation.
import type { App } from "./main";
import { el, place, browserName } from "./dom";

let open = 0;
// Whether the last input was a pointer's rather than a key's.
let tapped = false;
addEventListener("pointerdown", () => (tapped = true), true);
addEventListener("keydown", () => (tapped = false), true);

export function isTouch(): boolean {
  return navigator.maxTouchPoints > 0 || matchMedia("(pointer: coarse)").matches;
}
export function anyDialogOpen(): boolean {
  return open > 0;
}

interface Dialog {
  root: HTMLElement;
  client: HTMLElement;
  close: () => void;
  // What Esc does: closes, unless the dialog says otherwise (its 閉じる, which may refuse).
  escape: () => void;
}

// A dialog of the given client size, centred on the stage and drawn at its scale. By touch
// it is as large as the screen allows, and never smaller than the scale at which its
// finger areas (HIT units) are 44 CSS px: on a phone it may then be larger than the screen,
// and the layer scrolls. A dialog whose few buttons take a finger's area at any scale
// passes 0.
function dialog(app: App, id: string, caption: string, w: number, h: number, onClose: () => void,
  touchScale = 44 / HIT): Dialog {
  // The main window, and a dialog under this one, take no input by pointer or keyboard
  // while it is up; the focus goes back where it was when it closes.
  const back = document.activeElement as HTMLElement | null;
  if (open++ === 0) document.getElementById("viewport")?.setAttribute("inert", "");
  for (const l of document.querySelectorAll<HTMLElement>(".dlglayer")) l.setAttribute("inert", "");
  const layer = el("div", document.body, id + "_layer", "dlglayer");
  const root = el("div", layer, id, "dialog");
  root.setAttribute("role", "dialog");
  root.setAttribute("aria-modal", "true");
  root.setAttribute("aria-labelledby", id + "_caption");
  root.style.width = w + "px";
  const bar = el("div", root, undefined, "dlgtitle");
  el("span", bar, id + "_caption", undefined, caption);
  const x = el("button", bar, id + "_x", "dlgx", "×");
  x.type = "button";
  x.setAttribute("aria-label", "閉じる");
  const client = el("div", root, undefined, "dlgclient");
  const fit = () => {
    const vw = document.documentElement.clientWidth, vh = document.documentElement.clientHeight;
    // By touch the title bar, with its ×, is a finger's height at the scale it comes out at.
    let title = TITLE, s = 1;
    for (let pass = 0; pass < 2; pass++) {
      const room = Math.min(vw / (w + 8), vh / (h + title + 8));
      // Zoomed in, no smaller than the main window's floor: the layer scrolls instead.
      s = isTouch() ? Math.max(room, touchScale)
        : Math.max(Math.min(Math.max(app.scale, 1), room), Math.min(0.9, vw / (w + 8)));
      title = isTouch() && TITLE * s < 44 ? Math.ceil(FINGER / s) : TITLE;
    }
    bar.style.height = title + "px";
    root.style.height = h + title + "px";
    place(client, 0, title, w, h);
    root.style.transform = `scale(${s})`;
    // On whole pixels, so that neighbouring controls meet where they are drawn.
    root.style.left = Math.max(0, Math.round((vw - (w + 2) * s) / 2)) + "px";
    root.style.top = Math.max(0, Math.round((vh - (h + title + 2) * s) / 2)) + "px";
    root.style.setProperty("--finger", FINGER / s + "px");
  };
  fit();
  window.addEventListener("resize", fit);
  let closed = false;
  const close = () => {
    if (closed) return;
    closed = true;
    window.removeEventListener("resize", fit);
    layer.remove();
    const layers = document.querySelectorAll<HTMLElement>(".dlglayer");
    layers[layers.length - 1]?.removeAttribute("inert");
    if (--open === 0) document.getElementById("viewport")?.removeAttribute("inert");
    const to = back && back.isConnected && back !== document.body && !back.closest("[inert], [hidden]") ? back : app.txtOndo;
    // A finger gives no text box the focus: it would bring up the on-screen keyboard.
    if (!(tapped && isTouch()) || !to.matches("input, select, textarea")) to.focus();
    onClose();
  };
  x.addEventListener("click", close);
  const d: Dialog = { root, client, close, escape: close };
  layer.addEventListener("keydown", (e) => {
    if (e.key !== "Escape") return;
    e.preventDefault();
    e.stopPropagation();
    d.escape();
  });
  return d;
}

function button(parent: HTMLElement, id: string, text: string, x: number, y: number, w: number, h: number, act: () => void) {
  const b = el("button", parent, id, "dlgbutton", text);
  b.type = "button";
  place(b, x, y, w, h);
  b.addEventListener("click", act);
  return b;
}

function label(parent: HTMLElement, id: string, text: string, x: number, y: number, bold: boolean) {
  const l = el("div", parent, id, "dlglabel" + (bold ? " bold" : ""), text);
  place(l, x, y);
  return l;
}

function textBox(parent: HTMLElement, id: string, x: number, y: number, w: number, h: number, max: number, name?: string) {
  const t = el("input", parent, id, "dlgbox");
  t.maxLength = max; // limits typing and pasting; text the program sets shows in full
  t.autocomplete = "off";
  if (name) t.setAttribute("aria-label", name);
  if (isTouch()) {
    // A finger gets a larger area than the drawing: an invisible label around the box, under
    // every control, focuses it. 30 units are 44 CSS px at the scale of a dialog fitted to
    // any tablet screen from 1024 × 768 up.
    const hit = el("label", parent, undefined, "hitarea");
    hit.htmlFor = id;
    const hw = Math.max(w, HIT), hh = Math.max(h, HIT);
    place(hit, x - (hw - w) / 2, y - (hh - h) / 2, hw, hh);
    parent.prepend(hit);
  }
  place(t, x, y, w, h);
  return t;
}

const HIT = 30;
const TITLE = 30;
const FINGER = 44.5; // CSS px, a little over 44 so that rounding keeps it 44

function list(parent: HTMLElement, id: string, items: string[], x: number, y: number, w: number, h: number, name: string) {
  const s = el("select", parent, id, "dlglist");
  for (const i of items) el("option", s, undefined, undefined, i);
  s.setAttribute("aria-label", name);
  // By touch the list itself is a finger's height.
  const hh = isTouch() ? Math.max(h, HIT) : h;
  place(s, x, y - (hh - h) / 2, w, hh);
  return s;
}

// The value a list shows for a stored position; one beyond its items shows the first.
function select(s: HTMLSelectElement, v: number): void {
  s.selectedIndex = v >= 0 && v < s.options.length ? v : 0;
}

// The settings in use, in the boxes that edit them (the settings dialog, the editor's first tab).
function showSettings(core: App["core"], b: {
  cmbTempUnit: HTMLSelectElement; cmbPressUnit: HTMLSelectElement; txtGrphWMin: HTMLInputElement;
  txtGrphWMax: HTMLInputElement; txtPressWMin: HTMLInputElement; txtPressWMax: HTMLInputElement;
  txtContainer: HTMLInputElement; txtMol: HTMLInputElement;
}): void {
  select(b.cmbTempUnit, core.setting(2));
  select(b.cmbPressUnit, core.setting(3));
  b.txtGrphWMin.value = core.settingText(4);
  b.txtGrphWMax.value = core.settingText(5);
  b.txtPressWMin.value = core.settingText(6);
  b.txtPressWMax.value = core.settingText(7);
  b.txtContainer.value = core.settingText(0);
  b.txtMol.value = core.settingText(1);
}

export function messageBox(app: App, text: string): Promise<void> {
  return new Promise((resolve) => {
    const d = dialog(app, "msgBox", "Vaporia", 360, 150, resolve, 0);
    const t = el("div", d.client, "msgText", "msgtext", text);
    place(t, 16, 16, 328, 80);
    const ok = button(d.client, "cmdMsgOK", "OK", 134, 108, 92, 30, d.close);
    ok.focus();
  });
}

// ---------------------------------------------------------------------- 物質量 (settings)

export function openSettings(app: App): void {
  const core = app.core;
  const d = dialog(app, "frmSystem", "物質量", 289, 244, () => {
    app.settingsFollower = null;
    app.activate();
  });
  const c = d.client;
  const rowY = (r: number) => 8 + 32 * r;
  const names = ["物質量　（mol）", "容器の体積　(L)", "温度の単位", "圧力の単位", "グラフの温度範囲", "グラフの圧力範囲"];
  names.forEach((n, r) => label(c, "Label" + (r + 1), n, 8, rowY(r), true));
  const txtMol = textBox(c, "txtMol", 136, rowY(0), 57, 20, 3, names[0]);
  const txtContainer = textBox(c, "txtContainer", 136, rowY(1), 57, 20, 3, names[1]);
  const cmbTempUnit = list(c, "cmbTempUnit", ["℃", "Ｋ"], 136, rowY(2), 73, 20, names[2]);
  const cmbPressUnit = list(c, "cmbPressUnit", ["mmHg", "atm", "hPa"], 136, rowY(3), 73, 20, names[3]);
  const txtGrphWMin = textBox(c, "txtGrphWMin", 136, rowY(4), 57, 20, 3, "グラフの温度範囲（下限）");
  label(c, "Label7", "～", 197, rowY(4), false);
  const txtGrphWMax = textBox(c, "txtGrphWMax", 216, rowY(4), 57, 20, 3, "グラフの温度範囲（上限）");
  const txtPressWMin = textBox(c, "txtPressWMin", 136, rowY(5), 57, 20, 4, "グラフの圧力範囲（下限）");
  label(c, "Label8", "～", 197, rowY(5), false);
  const txtPressWMax = textBox(c, "txtPressWMax", 216, rowY(5), 57, 20, 4, "グラフの圧力範囲（上限）");
  const fill = () =>
    showSettings(core, { cmbTempUnit, cmbPressUnit, txtGrphWMin, txtGrphWMax, txtPressWMin, txtPressWMax, txtContainer, txtMol });
  fill();
  // In the order of the settings' numbers. What each box showed before the user touched it:
  // a box still showing that takes what another tab stores; one the user changed keeps it.
  const boxes: (HTMLInputElement | HTMLSelectElement)[] =
    [txtContainer, txtMol, cmbTempUnit, cmbPressUnit, txtGrphWMin, txtGrphWMax, txtPressWMin, txtPressWMax];
  const text = (b: HTMLInputElement | HTMLSelectElement) => (b instanceof HTMLSelectElement ? String(b.selectedIndex) : b.value);
  const shown = boxes.map(text);
  app.settingsFollower = (before, after) => boxes.forEach((b, k) => {
    const now = core.iniSettingText(after, k);
    if (now === core.iniSettingText(before, k) || text(b) !== shown[k]) return;
    if (b instanceof HTMLSelectElement) select(b, Number(now));
    else b.value = now;
    shown[k] = text(b);
  });
  button(c, "cmdDefault", "初期値", 40, 204, 89, 25, () => {
    core.settingsDefaults();
    fill();
  });
  // The boxes a refusal points at, in the order the program numbers them.
  const faultBoxes = [txtMol, txtContainer, txtGrphWMin, txtPressWMin];
  const closeButton = button(c, "cmdClose", "閉じる", 160, 204, 89, 25, async () => {
    app.followStorage();
    const taken = core.settingsTake(cmbTempUnit.selectedIndex, cmbPressUnit.selectedIndex, txtGrphWMin.value,
      txtGrphWMax.value, txtPressWMin.value, txtPressWMax.value, txtContainer.value, txtMol.value);
    for (const b of faultBoxes) b.removeAttribute("aria-invalid");
    if (taken < 0) {
      // Nothing is saved; the dialog stays open at the box to mend.
      const box = faultBoxes[-1 - taken] ?? txtMol;
      box.setAttribute("aria-invalid", "true");
      await messageBox(app, core.errorText());
      box.focus();
      box.select();
      return;
    }
    app.saveSettings();
    d.close();
  });
  // Esc keeps what was typed: it closes as 閉じる does, saving, or shows what to mend.
  d.escape = () => closeButton.click();
  txtMol.focus();
}

// ---------------------------------------------------------------------- シナリオ作成 (editor)

export function openScenario(app: App): void {
  const core = app.core;
  const d = dialog(app, "frmSinario", "シナリオ作成", 490, 480, () => app.activate());
  const c = d.client;
  const txtTTl = textBox(c, "txtTTl", 8, 8, 465, 25, 30, "シナリオのタイトル");
  txtTTl.value = core.sinarioTitle();
  // The title is stored whenever the box loses the focus, so a button pressed right after
  // typing acts on the typed title.
  const storeTitle = () => core.sinarioSetTitle(txtTTl.value);
  txtTTl.addEventListener("blur", storeTitle);

  // By touch, rows of the first tab page far enough apart for a finger's area each; the
  // step list gives up the room.
  const touch = isTouch();
  const row = (k: number) => 8 + k * (touch ? HIT : 24);
  const tabsTop = touch ? 44 : 40, tabsH = touch ? 24 + row(3) + 26 : 137;
  const tabs = el("div", c, "SSTabMenu", "tabs");
  place(tabs, 8, tabsTop, 473, tabsH);
  const strip = el("div", tabs, undefined, "tabstrip");
  strip.setAttribute("role", "tablist");
  const captions = ["初期設定", "温度設定", "グラフ表示", "グラフ消去", "物質変更"];
  const pages: HTMLElement[] = [];
  const tabButtons: HTMLButtonElement[] = [];
  const show = (k: number) => pages.forEach((p, i) => {
    p.hidden = i !== k;
    tabButtons[i].classList.toggle("current", i === k);
    tabButtons[i].setAttribute("aria-selected", String(i === k));
    tabButtons[i].tabIndex = i === k ? 0 : -1;
  });
  captions.forEach((cap, i) => {
    const t = el("button", strip, "SSTabMenu_" + i, "tab", cap);
    t.type = "button";
    t.setAttribute("role", "tab");
    t.setAttribute("aria-controls", "SSTabPage" + i);
    t.addEventListener("click", () => show(i));
    // ← → along the tabs, each shown as it is reached.
    t.addEventListener("keydown", (e) => {
      const step = e.key === "ArrowRight" ? 1 : e.key === "ArrowLeft" ? -1 : 0;
      if (!step) return;
      e.preventDefault();
      const k = (i + step + captions.length) % captions.length;
      show(k);
      tabButtons[k].focus();
    });
    tabButtons.push(t);
    const p = el("div", tabs, "SSTabPage" + i, "tabpage");
    p.setAttribute("role", "tabpanel");
    p.setAttribute("aria-labelledby", "SSTabMenu_" + i);
    pages.push(p);
  });

  let selectedRow = -1;
  const listSinario = el("div", c, "listSinario", "steplist");
  listSinario.setAttribute("role", "listbox");
  listSinario.setAttribute("aria-label", "シナリオのステップ");
  listSinario.tabIndex = 0;
  // The row chosen: added steps go before it; none, at the end.
  const choose = (row: number) => {
    const rows = listSinario.children;
    selectedRow = row >= 0 && row < rows.length ? row : -1;
    for (let i = 0; i < rows.length; i++) {
      rows[i].classList.toggle("selected", i === selectedRow);
      rows[i].setAttribute("aria-selected", String(i === selectedRow));
    }
    if (selectedRow < 0) listSinario.removeAttribute("aria-activedescendant");
    else {
      listSinario.setAttribute("aria-activedescendant", rows[selectedRow].id);
      (rows[selectedRow] as HTMLElement).scrollIntoView({ block: "nearest" });
    }
  };
  const deleteSelected = () => {
    storeTitle();
    const row = selectedRow;
    if (row >= 0 && core.deleteStep(row)) {
      refresh();
      return row;
    }
    return -1;
  };
  // ↑ ↓ Home End choose a row, Space lets it go (steps then go at the end), Delete removes it.
  listSinario.addEventListener("keydown", (e) => {
    const n = listSinario.children.length;
    const moves: Record<string, number> = {
      ArrowDown: selectedRow < 0 ? 0 : Math.min(n - 1, selectedRow + 1),
      ArrowUp: selectedRow < 0 ? n - 1 : Math.max(0, selectedRow - 1), Home: 0, End: n - 1,
    };
    if (e.key in moves) choose(moves[e.key]);
    else if (e.key === " ") choose(-1);
    else if (e.key === "Delete") {
      const row = deleteSelected();
      if (row >= 0) choose(Math.min(row, listSinario.children.length - 1));
    } else return;
    e.preventDefault();
  });
  // 削除 in the gap below the tabs, wholly above the list, its finger's area too.
  const tabsEnd = tabsTop + tabsH;
  const listTop = tabsEnd + (touch ? 32 : 24);
  place(listSinario, 8, listTop, 473, 432 - listTop);
  const refresh = () => {
    listSinario.textContent = "";
    selectedRow = -1;
    const n = core.stepCount();
    for (let i = 0; i < n; i++) {
      const row = el("div", listSinario, "listSinario_" + i, "steprow", core.stepText(i));
      row.setAttribute("role", "option");
      row.setAttribute("aria-selected", "false");
      row.addEventListener("click", () => choose(i));
    }
    listSinario.removeAttribute("aria-activedescendant");
  };
  const added = (r: number, focusables: HTMLElement[]) => {
    if (r === 1) refresh();
    else if (r === 0) messageBox(app, "ステップは50までです。これ以上は追加できません。");
    else if (r < 0 && focusables[-r - 1]) focusables[-r - 1].focus();
  };

  // 初期設定
  const p0 = pages[0];
  label(p0, "Label1", "物質量　（mol）", 8, row(0), true);
  const txtMol = textBox(p0, "txtMol", 120, row(0), 57, 18, 3, "物質量　（mol）");
  label(p0, "Label2", "容器の体積　(L)", 8, row(1), true);
  const txtContainer = textBox(p0, "txtContainer", 120, row(1), 57, 18, 3, "容器の体積　(L)");
  label(p0, "Label3", "温度の単位", 8, row(2), true);
  const cmbTempUnit = list(p0, "cmbTempUnit", ["℃", "Ｋ"], 120, row(2), 73, 20, "温度の単位");
  label(p0, "Label4", "圧力の単位", 8, row(3), true);
  const cmbPressUnit = list(p0, "cmbPressUnit", ["mmHg", "atm", "hPa"], 120, row(3), 73, 20, "圧力の単位");
  label(p0, "Label5", "グラフの温度範囲", 208, row(0), true);
  const txtGrphWMin = textBox(p0, "txtGrphWMin", 320, row(0), 57, 18, 3, "グラフの温度範囲（下限）");
  label(p0, "Label7", "～", 384, row(0), false);
  const txtGrphWMax = textBox(p0, "txtGrphWMax", 408, row(0), 57, 18, 3, "グラフの温度範囲（上限）");
  label(p0, "Label6", "グラフの圧力範囲", 208, row(1), true);
  const txtPressWMin = textBox(p0, "txtPressWMin", 320, row(1), 57, 18, 4, "グラフの圧力範囲（下限）");
  label(p0, "Label8", "～", 384, row(1), false);
  const txtPressWMax = textBox(p0, "txtPressWMax", 408, row(1), 57, 18, 4, "グラフの圧力範囲（上限）");
  showSettings(core, { cmbTempUnit, cmbPressUnit, txtGrphWMin, txtGrphWMax, txtPressWMin, txtPressWMax, txtContainer, txtMol });
  const addButton = (page: number, act: () => void) =>
    button(pages[page], "cmdAdd" + (page + 1), "追加", 392, 80, 65, 25, () => { storeTitle(); act(); });
  addButton(0, async () => {
    const boxes = [txtMol, txtContainer, txtGrphWMin, txtGrphWMax, txtPressWMin, txtPressWMax];
    const r = core.addInit(selectedRow, cmbTempUnit.selectedIndex, cmbPressUnit.selectedIndex,
      txtMol.value, txtContainer.value, txtGrphWMin.value, txtGrphWMax.value, txtPressWMin.value, txtPressWMax.value);
    // A value the model cannot show is named before its box gets the focus.
    const fault = r < 0 ? core.errorText() : "";
    if (fault) await messageBox(app, fault);
    added(r, boxes);
  });

  // 温度設定
  const p1 = pages[1];
  label(p1, "Label9", "温度を", 24, 24, false);
  const txtTemp = textBox(p1, "txtTemp", 64, 16, 49, 26, 4, "設定する温度");
  txtTemp.classList.add("bold");
  label(p1, "Label10", "に設定します。", 120, 24, false);
  const chkLabel = el("label", p1, "chkAddTempLabel", "dlgcheck");
  place(chkLabel, 24, 56);
  const chkAddTemp = el("input", chkLabel, "chkAddTemp");
  chkAddTemp.type = "checkbox";
  chkLabel.append("1度ずつ変化する。");
  addButton(1, () => added(core.addTemp(selectedRow, txtTemp.value, chkAddTemp.checked), [txtTemp]));

  // グラフ表示
  const p2 = pages[2];
  const radio = (id: string, text: string, y: number, checked: boolean) => {
    const l = el("label", p2, id + "Label", "dlgcheck");
    place(l, 32, y);
    const r = el("input", l, id);
    r.type = "radio";
    r.name = "grph";
    r.checked = checked;
    l.append(text);
    return r;
  };
  const OptGrphOn = radio("OptGrphOn", "グラフ表示", 16, true);
  radio("optGrphOff", "グラフ非表示", 48, false);
  addButton(2, () => added(core.addGraph(selectedRow, OptGrphOn.checked), []));

  // グラフ消去
  label(pages[3], "Label11", "描画されているグラフを消去します。", 24, 24, false);
  addButton(3, () => added(core.addGraphClear(selectedRow), []));

  // 物質変更: an editable list; typed text means no liquid chosen (-1).
  const p4 = pages[4];
  label(p4, "Label12", "物質を変更します。", 16, 16, false);
  // By touch the box sits higher, so its area stays clear of the buttons below it.
  const cmbBussitu = textBox(p4, "cmbBussitu", 56, touch ? 40 : 48, 209, 22, 1000, "物質");
  const names = ["水", "エタノール", "ジエチルエーテル"];
  const dl = el("datalist", p4, "cmbBussituItems");
  for (const n of names) { const o = el("option", dl); o.value = n; }
  cmbBussitu.setAttribute("list", "cmbBussituItems");
  cmbBussitu.value = names[0];
  let bussitu = 0;
  cmbBussitu.addEventListener("input", (e) => {
    // Choosing from the list gives the item; typing leaves no item selected.
    const chosen = !(e as InputEvent).inputType || (e as InputEvent).inputType === "insertReplacementText";
    bussitu = chosen ? names.indexOf(cmbBussitu.value) : -1;
  });
  const pickers = el("div", p4, "cmbBussituPick", "pickrow");
  place(pickers, 56, 76);
  names.forEach((n, i) => {
    const b = button(pickers, "cmbBussitu_" + i, n, 0, 0, 0, 0, () => { cmbBussitu.value = n; bussitu = i; });
    b.style.position = "relative";
    b.style.width = b.style.height = "";
  });
  addButton(4, () => added(core.addLiquid(selectedRow, bussitu), []));

  button(c, "cmdDel", "削除", 400, tabsEnd + 4, 65, touch ? 22 : 17, () => { deleteSelected(); });
  button(c, "cmdLoad", "読込", 8, 448, 73, 25, async () => {
    storeTitle();
    if (await app.loadScenario()) {
      txtTTl.value = core.sinarioTitleTrimmed();
      refresh();
    }
  });
  button(c, "cmdSave", "保存", 96, 448, 73, 25, () => { storeTitle(); app.saveScenario(); });
  const closeButton = button(c, "cmdClose", "閉じる", 416, 448, 65, 25, () => { storeTitle(); d.close(); });
  d.escape = () => closeButton.click();
  show(0);
  refresh();
  txtTTl.focus();
}

// ---------------------------------------------------------------------- バージョン情報

export function openAbout(app: App): void {
  const d = dialog(app, "frmAbout", "Vaporiaのﾊﾞｰｼﾞｮﾝ情報", 382, 237, () => app.activate(), 0);
  const c = d.client;
  const lbl = (id: string, text: string, x: number, y: number, w: number, h: number, cls = "") => {
    const l = el("div", c, id, "dlglabel wrap " + cls, text);
    place(l, x, y, w, h);
    return l;
  };
  lbl("lblTitle", "Vaporia", 70, 16, 259, 32, "title");
  lbl("lblVersion", "ﾊﾞｰｼﾞｮﾝ " + app.core.version(), 70, 52, 259, 15);
  lbl("lblDescription", "化学の授業で蒸気圧曲線を見せる教材です。\n" +
    "標準の値はクラウジウス・クラペイロン式のモデル値です。文献値はIAPWS式とアントワン式による実測の値です。\n" +
    "ブラウザー: " + browserName(), 70, 75, 259, 84);
  const etch = el("div", c, "Line1", "etch");
  place(etch, 6, 163, 371, 3);
  lbl("lblDisclaimer", "表示する値は授業で使うための目安で、実験や測定の代わりにはなりません。このソフトウェアは無保証です。",
    17, 175, 258, 55);
  const ok = button(c, "cmdOK", "OK", 283, 175, 92, 23, d.close);
  d.root.addEventListener("keydown", (e) => { if (e.key === "Enter") { e.preventDefault(); d.close(); } });
  ok.focus();
}

// ---------------------------------------------------------------------- キー操作 (F1)

// Every key the main window answers, as the cores list them for both faces.
export function openKeyHelp(app: App): void {
  const d = dialog(app, "frmKeys", "キー操作", 560, 420, () => {}, 0);
  const box = el("div", d.client, "keyHelpList", "keyhelp");
  box.tabIndex = 0; // scrolls by the keyboard too
  box.setAttribute("role", "region");
  box.setAttribute("aria-label", "キーの一覧");
  place(box, 8, 8, 544, 364);
  const table = el("table", box);
  const head = el("tr", el("thead", table));
  for (const t of ["キー", "操作"]) el("th", head, undefined, undefined, t).setAttribute("scope", "col");
  const body = el("tbody", table);
  for (const k of app.core.keyHelp()) {
    const r = el("tr", body);
    el("th", r, undefined, undefined, k.keys).setAttribute("scope", "row");
    el("td", r, undefined, undefined, k.action);
  }
  const ok = button(d.client, "cmdKeysClose", "閉じる", 460, 384, 92, 26, d.close);
  ok.focus();
}

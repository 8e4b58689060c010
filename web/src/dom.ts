// Small helpers for building the controls at their designed places.

export function el<K extends keyof HTMLElementTagNameMap>(
  tag: K, parent: HTMLElement | null, id?: string, cls?: string, text?: string,
): HTMLElementTagNameMap[K] {
  const e = document.createElement(tag);
  if (id) e.id = id;
  if (cls) e.className = cls;
  if (text !== undefined) e.textContent = text;
  if (parent) parent.appendChild(e);
  return e;
}

export function place(e: HTMLElement, x: number, y: number, w?: number, h?: number): void {
  e.style.left = x + "px";
  e.style.top = y + "px";
  if (w !== undefined) e.style.width = w + "px";
  if (h !== undefined) e.style.height = h + "px";
}

// Saves bytes under a name: the save picker where the browser has one, else a download.
export async function saveBytes(bytes: Uint8Array, name: string, mime: string, ext: string, desc: string): Promise<void> {
  const w = window as any;
  if (typeof w.showSaveFilePicker === "function") {
    let handle;
    try {
      handle = await w.showSaveFilePicker({ suggestedName: name, types: [{ description: desc, accept: { [mime]: [ext] } }] });
    } catch (e: any) {
      if (e && e.name === "AbortError") return; // cancelled: nothing changes
      return download(bytes, name, mime);
    }
    const out = await handle.createWritable();
    await out.write(new Blob([bytes], { type: mime }));
    await out.close();
    return;
  }
  download(bytes, name, mime);
}

export function download(bytes: Uint8Array, name: string, mime: string): void {
  const url = URL.createObjectURL(new Blob([bytes], { type: mime }));
  const a = el("a", document.body);
  a.href = url;
  a.download = name;
  a.style.display = "none";
  a.click();
  a.remove();
  // The browser has taken the file by the next turn of the event loop.
  setTimeout(() => URL.revokeObjectURL(url), 0);
}

// A file the user picks, as bytes; null when cancelled.
// Only the first `limit` bytes are read: a huge file picked by mistake never fills memory.
export function pickFile(accept: string, limit: number): Promise<{ name: string; size: number; bytes: Uint8Array } | null> {
  return new Promise((resolve) => {
    document.getElementById("filePicker")?.remove(); // one left by a picker closed unseen
    const input = el("input", document.body);
    input.type = "file";
    // iPadOS greys out files whose type it cannot map from an unknown extension.
    if (!isAppleTouch()) input.accept = accept;
    input.id = "filePicker";
    // Out of sight but not display:none, which some browsers refuse to open a picker for.
    input.style.cssText = "position:fixed;left:0;top:0;width:1px;height:1px;opacity:0";
    input.addEventListener("change", async () => {
      const f = input.files && input.files[0];
      input.remove();
      if (!f) return resolve(null);
      try {
        resolve({ name: f.name, size: f.size, bytes: new Uint8Array(await f.slice(0, limit).arrayBuffer()) });
      } catch {
        resolve({ name: f.name, size: f.size, bytes: new Uint8Array(0) });
      }
    });
    input.addEventListener("cancel", () => { input.remove(); resolve(null); });
    input.click();
  });
}

export function isAppleTouch(): boolean {
  return /iPad|iPhone|iPod/.test(navigator.userAgent) ||
    (navigator.platform === "MacIntel" && navigator.maxTouchPoints > 1);
}

// A file name from a title: characters file systems refuse become "_".
export function fileName(title: string, fallback: string, ext: string): string {
  const t = title.trim().replace(/[\\/:*?"<>|\u0000-\u001f]/g, "_");
  return (t || fallback) + ext;
}

export function browserName(): string {
  const ua = navigator.userAgent;
  const m = (re: RegExp) => { const r = ua.match(re); return r ? r[1] : ""; };
  if (/Edg\//.test(ua)) return "Microsoft Edge " + m(/Edg\/([\d]+)/);
  if (/CriOS\//.test(ua)) return "Chrome (iOS) " + m(/CriOS\/([\d]+)/);
  if (/Firefox\//.test(ua)) return "Firefox " + m(/Firefox\/([\d]+)/);
  if (/Chromium\//.test(ua)) return "Chromium " + m(/Chromium\/([\d]+)/);
  if (/Chrome\//.test(ua)) return (/CrOS/.test(ua) ? "Chrome (ChromeOS) " : "Chrome ") + m(/Chrome\/([\d]+)/);
  if (/Version\/[\d.]+.*Safari/.test(ua)) return "Safari " + m(/Version\/([\d.]+)/);
  if (/AppleWebKit/.test(ua)) return "WebKit";
  return "不明なブラウザー";
}

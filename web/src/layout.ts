// Where the main window's parts stand. Sideways, the desktop's 800 × 559 window over its
// background picture. Held upright, a tablet shows the field above the graph and the
// readout, and a phone shows them in one column: the same parts, moved whole, so that the
// screen is used rather than letter-boxed.

export type PaneId = "paneField" | "paneLiquid" | "paneButtons" | "paneGraph" | "paneStep" | "paneReadout";

export interface Box { x: number; y: number; w: number; h: number }

// Each part's box in the sideways window: the background picture's bevels around the field,
// the liquid bar, the graph and the readout panel. The parts' controls stand at the
// desktop's places within them.
export const PANES: Record<PaneId, Box> = {
  paneField: { x: 33, y: 15, w: 379, h: 465 },
  paneLiquid: { x: 31, y: 486, w: 384, h: 50 },
  paneButtons: { x: 464, y: 8, w: 273, h: 47 },
  paneGraph: { x: 443, y: 59, w: 323, h: 343 },
  paneStep: { x: 446, y: 401, w: 317, h: 20 },
  paneReadout: { x: 443, y: 413, w: 327, h: 120 },
};

export type LayoutName = "landscape" | "portrait" | "column";

export interface Layout {
  name: LayoutName;
  w: number; // the client's size, below the menu bar
  h: number;
  menuH: number;
  at: Record<PaneId, [number, number]>;
  // Away from the background picture: the grooves drawn around the groups.
  grooves: Box[];
  liquidStacked: boolean; // the liquid bar as a box of two lines
  buttonsStacked: boolean; // the picture buttons one above the other
  // Height of a finger's target, the picture buttons' and the liquid list's, in stage pixels.
  target: number;
}

const landscape: Layout = {
  name: "landscape", w: 800, h: 559, menuH: 46,
  at: Object.fromEntries(Object.entries(PANES).map(([k, b]) => [k, [b.x, b.y]])) as Record<PaneId, [number, number]>,
  grooves: [], liquidStacked: false, buttonsStacked: false, target: 47,
};

// Upright tablets (768 × 1024, 820 × 1180): the field with the liquid beside it on top; the
// graph with its buttons, the step and the readout beside it below.
const portrait: Layout = {
  name: "portrait", w: 696, h: 860, menuH: 46,
  at: {
    paneField: [17, 13],
    paneLiquid: [408, 378],
    paneGraph: [17, 502],
    paneButtons: [379, 508],
    paneStep: [355, 575],
    paneReadout: [352, 725],
  },
  grooves: [{ x: 6, y: 4, w: 684, h: 484 }, { x: 6, y: 493, w: 684, h: 361 }],
  liquidStacked: true, buttonsStacked: false, target: 47,
};

// Phones held upright (390 × 844): one column, the picture buttons beside the graph, and
// every target a finger's 44 CSS px at the scale such a screen gives.
const column: Layout = {
  name: "column", w: 446, h: 1066, menuH: 60,
  at: {
    paneField: [33, 13],
    paneLiquid: [31, 486],
    paneGraph: [17, 558],
    paneButtons: [348, 558],
    paneStep: [20, 905],
    paneReadout: [60, 931],
  },
  grooves: [{ x: 6, y: 4, w: 434, h: 540 }, { x: 6, y: 549, w: 434, h: 511 }],
  liquidStacked: false, buttonsStacked: true, target: 60,
};

export const LAYOUTS: Layout[] = [landscape, portrait, column];

export function stageSize(l: Layout): [number, number] {
  return [l.w, l.menuH + l.h];
}

// The scale at which the layout's stage just fits the viewport.
export function fitScale(l: Layout, vw: number, vh: number): number {
  const [w, h] = stageSize(l);
  return Math.min(vw / w, vh / h);
}

// The layout whose fitted stage covers the largest share of the viewport; sideways on a tie.
export function chooseLayout(vw: number, vh: number): Layout {
  let best = landscape, share = 0;
  for (const l of LAYOUTS) {
    const s = fitScale(l, vw, vh), [w, h] = stageSize(l);
    const used = (w * s * h * s) / (vw * vh);
    if (used > share + 1e-9) { best = l; share = used; }
  }
  return best;
}

// Plays a run of trivu-host tick by tick. The run is the JSON block #run,
// the marks' names the block #marks; everything drawn is rebuilt from them
// for the shown tick, so that the DOM always says what that tick holds
// (tests and users' tools read it).
window.onerror = function (message, source, line) {
  document.documentElement.setAttribute('data-script-error', message + ' (line ' + line + ')');
};
document.addEventListener('securitypolicyviolation', function (e) {
  document.documentElement.setAttribute('data-blocked', e.violatedDirective + ' ' + e.blockedURI);
});

// ---- Contents: the data, decoding, colours, drawing, time, start -----------------

var TRAIL = 12;  // ticks of trail behind an instance
var FADE = 4;    // ticks an event stays visible
var MARKS = {};    // the marks' names by code: the block #marks

var ZOOM = 1.25;     // one key press or wheel notch
var run = null;      // the parsed block
var frames = [];     // decoded frames, made when first shown
var shown = {frame: 0, tick: 0};
var picked = -1;     // the instance followed, by index in its frame
var view = null;     // the world rectangle shown: {x, y, w, h}
var timer = null;

function $(id) { return document.getElementById(id); }

function svg(name, attributes) {
  var e = document.createElementNS($('stage').namespaceURI, name);
  for (var key in attributes) e.setAttribute(key, attributes[key]);
  return e;
}

// ---- Decoding ---------------------------------------------------------------------

// A track is [x0, y0, "STEPS"], one position per tick: two DIGITS are a step
// (dx + 32, dy + 32), [dx,dy] a longer one, (K,N) the last K steps N times more.
var DIGITS = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
var DIGIT = {};
for (var i = 0; i < DIGITS.length; ++i) DIGIT[DIGITS[i]] = i - 32;

function decodeTrack(p) {
  var text = p.length > 2 ? p[2] : '', dx = [], dy = [];
  for (var i = 0; i < text.length;) {
    var c = text[i];
    if (c === '(' || c === '[') {
      var end = text.indexOf(c === '(' ? ')' : ']', i), a = text.slice(i + 1, end).split(',').map(Number);
      if (c === '[') { dx.push(a[0]); dy.push(a[1]); }
      for (var from = dx.length - a[0], r = 0; c === '(' && r < a[1]; ++r)
        for (var j = 0; j < a[0]; ++j) { dx.push(dx[from + j]); dy.push(dy[from + j]); }
      i = end + 1;
    } else {
      dx.push(DIGIT[c]); dy.push(DIGIT[text[i + 1]]);
      i += 2;
    }
  }
  var n = p.length ? dx.length + 1 : 0, xs = new Int32Array(n), ys = new Int32Array(n);
  if (n === 0) return {xs: xs, ys: ys};
  xs[0] = p[0]; ys[0] = p[1];
  for (var k = 1; k < n; ++k) { xs[k] = xs[k - 1] + dx[k - 1]; ys[k] = ys[k - 1] + dy[k - 1]; }
  return {xs: xs, ys: ys};
}

// The world rectangle that a frame opens on. An instance that stays far
// from the others must not shrink them to nothing: the middle of the run is
// the median of the instances' median places, their spread the
// interquartile range of those medians (at least SPREAD pixels), each axis
// apart; an instance is far when half its ticks or more lie further from
// the middle than FAR times the spread, on either axis (the median of its
// distances is past that), and is left out. (Its median place alone would
// not do: one that wraps round a huge range has it near the middle.) Of the
// rest, one thrown far away for a while must not either: the box takes in
// the 95% of their instance-ticks nearest the middle of them all, then
// whatever else lies within its own size of that (the ends of a path are no
// outliers). What is left out is shown by marks at the edge.
var FAR = 10, SPREAD = 100;

function median(values) { return Float64Array.from(values).sort()[values.length >> 1]; }

function nearInstances(insts) {
  var placed = insts.filter(function (inst) { return inst.xs.length > 0; });
  if (placed.length === 0) return placed;
  function axis(coordinate, size) {
    var medians = placed.map(function (inst) {
      return median(Array.from(inst[coordinate], function (v) { return v + inst.s[size] / 2; }));
    });
    var sorted = Float64Array.from(medians).sort(), n = sorted.length;
    var middle = sorted[n >> 1];
    var reach = FAR * Math.max(sorted[Math.floor(3 * n / 4)] - sorted[Math.floor(n / 4)], SPREAD);
    return placed.map(function (inst) {
      return median(Array.from(inst[coordinate], function (v) { return Math.abs(v + inst.s[size] / 2 - middle); })) <= reach;
    });
  }
  var nearX = axis('xs', 'w'), nearY = axis('ys', 'h');
  return placed.filter(function (inst, i) { return nearX[i] && nearY[i]; });
}

function fittedBox(all) {
  var insts = nearInstances(all), n = 0;
  insts.forEach(function (inst) { n += inst.xs.length; });
  if (n === 0) return null;
  var xs = new Float64Array(n), ys = new Float64Array(n), i = 0;
  insts.forEach(function (inst) {
    for (var k = 0; k < inst.xs.length; ++k, ++i) { xs[i] = inst.xs[k] + inst.s.w / 2; ys[i] = inst.ys[k] + inst.s.h / 2; }
  });
  var mx = Float64Array.from(xs).sort()[n >> 1], my = Float64Array.from(ys).sort()[n >> 1];
  var far = new Float64Array(n);
  for (i = 0; i < n; ++i) far[i] = Math.max(Math.abs(xs[i] - mx), Math.abs(ys[i] - my));
  var reach = Float64Array.from(far).sort()[Math.ceil(0.95 * n) - 1];
  var box = {x0: Infinity, y0: Infinity, x1: -Infinity, y1: -Infinity};
  for (i = 0; i < n; ++i)
    if (far[i] <= reach) box = grow(box, xs[i], ys[i]);
  reach = Math.max(box.x1 - box.x0, box.y1 - box.y0, 100);
  var near = {x0: box.x0 - reach, y0: box.y0 - reach, x1: box.x1 + reach, y1: box.y1 + reach};
  box = {x0: Infinity, y0: Infinity, x1: -Infinity, y1: -Infinity};
  insts.forEach(function (inst) {
    for (var k = 0; k < inst.xs.length; ++k) {
      var x = inst.xs[k], y = inst.ys[k];
      if (inside(near, x + inst.s.w / 2, y + inst.s.h / 2)) box = grow(grow(box, x, y), x + inst.s.w, y + inst.s.h);
    }
  });
  box.near = near;
  return box;
}

function grow(box, x, y) {
  box.x0 = Math.min(box.x0, x); box.y0 = Math.min(box.y0, y); box.x1 = Math.max(box.x1, x); box.y1 = Math.max(box.y1, y);
  return box;
}

function inside(box, x, y) { return x >= box.x0 && x <= box.x1 && y >= box.y0 && y <= box.y1; }

function decodeFrame(f) {
  var d = {f: f, insts: [], byTick: {}, linesByTick: {}, head: []};
  var groupBox = f.groups.map(function () { return {x0: Infinity, y0: Infinity, x1: -Infinity, y1: -Infinity}; });
  f.inst.forEach(function (s, index) {
    var t = decodeTrack(s.p);
    var inst = {s: s, index: index, xs: t.xs, ys: t.ys, breaks: {}, centre: s.c ? decodeTrack(s.c.p) : null};
    (s.b || []).forEach(function (k) { inst.breaks[k] = true; });
    for (var k = 0; k < t.xs.length; ++k) {
      if (s.g >= 0) {
        var g = groupBox[s.g];
        g.x0 = Math.min(g.x0, t.xs[k]); g.y0 = Math.min(g.y0, t.ys[k]);
        g.x1 = Math.max(g.x1, t.xs[k] + s.w); g.y1 = Math.max(g.y1, t.ys[k] + s.h);
      }
    }
    d.insts.push(inst);
  });
  var box = fittedBox(d.insts) || {x0: Infinity, y0: Infinity, x1: -Infinity, y1: -Infinity};
  function take(x, y) { if (!box.near || inside(box.near, x, y)) grow(box, x, y); }
  d.insts.forEach(function (inst) {
    if (inst.centre) for (var k = 0; k < inst.centre.xs.length; ++k) take(inst.centre.xs[k], inst.centre.ys[k]);
  });
  f.ev.forEach(function (e) { take(e[2], e[3]); (d.byTick[e[0]] = d.byTick[e[0]] || []).push(e); });
  f.lines.forEach(function (l) {
    if (l[0] < 0) d.head.push(l[1]); else (d.linesByTick[l[0]] = d.linesByTick[l[0]] || []).push(l[1]);
  });
  d.walls = f.walls.map(function (w) {
    var g = groupBox[w[0]];
    if (!(g.x0 <= g.x1)) g = {x0: w[2], y0: w[2], x1: w[2], y1: w[2]};
    var line = w[1] ? {x1: w[2], y1: g.y0 - @WALL_OVERHANG@, x2: w[2], y2: g.y1 + @WALL_OVERHANG@} : {x1: g.x0 - @WALL_OVERHANG@, y1: w[2], x2: g.x1 + @WALL_OVERHANG@, y2: w[2]};
    take(line.x1, line.y1); take(line.x2, line.y2);
    line.group = f.groups[w[0]];
    return line;
  });
  if (!(box.x0 <= box.x1)) box = {x0: 0, y0: 0, x1: 100, y1: 100};
  var margin = 16 + 0.04 * Math.max(box.x1 - box.x0, box.y1 - box.y0);
  d.fitted = {x: box.x0 - margin, y: box.y0 - margin, w: box.x1 - box.x0 + 2 * margin, h: box.y1 - box.y0 + 2 * margin};
  d.colours = colours(f);
  return d;
}

function frameData(k) {
  if (!frames[k]) frames[k] = decodeFrame(run.frames[k]);
  return frames[k];
}

// ---- Colours ----------------------------------------------------------------------

// A hue per group, a shade per member: related, yet each one can be followed.
function colours(f) {
  var members = {};
  return f.inst.map(function (s, i) {
    var g = s.g >= 0 ? s.g : -1;
    var k = members[g] = (members[g] || 0) + 1;
    var hue = g < 0 ? 0 : (g * 137.5 + 200) % 360;
    var saturation = g < 0 ? 0 : 70;
    var light = 30 + ((k - 1) * 13) % 45;
    return 'hsl(' + hue.toFixed(1) + ',' + saturation + '%,' + light + '%)';
  });
}

// ---- Drawing ----------------------------------------------------------------------

function at(inst, tick) {
  var k = tick - inst.s.t0;
  return k >= 0 && k < inst.xs.length ? k : -1;
}

function trailOf(inst, k, from) {
  var d = '';
  for (var j = Math.max(from, 0); j <= k; ++j) {
    var cx = inst.xs[j] + inst.s.w / 2, cy = inst.ys[j] + inst.s.h / 2;
    d += (d === '' || inst.breaks[j] ? 'M' : 'L') + cx + ' ' + cy + ' ';
  }
  return d;
}

// Each instance keeps its rectangle and trail from one tick to the next: a
// tick then only moves them, which keeps playing cheap.
function instanceElement(d, inst, k, tick) {
  var s = inst.s, r = inst.rect;
  if (!r) {
    r = inst.rect = svg('rect', {'data-instance': s.n, 'data-x': 0, 'data-y': 0, x: 0, y: 0,
                                 width: Math.max(s.w, 1), height: Math.max(s.h, 1), fill: d.colours[inst.index]});
    inst.title = svg('title', {});
    r.appendChild(inst.title);
    r.addEventListener('click', function () { pick(inst.index); });
  }
  r.setAttribute('data-x', inst.xs[k]);
  r.setAttribute('data-y', inst.ys[k]);
  r.setAttribute('x', inst.xs[k]);
  r.setAttribute('y', inst.ys[k]);
  if (s.x === tick) r.setAttribute('data-destroyed', ''); else r.removeAttribute('data-destroyed');
  if (inst.index === picked) r.setAttribute('class', 'picked'); else r.removeAttribute('class');
  inst.title.textContent = s.n + ' (' + inst.xs[k] + ', ' + inst.ys[k] + ')';
  return r;
}

function trailElement(d, inst, k) {
  if (!inst.trail) inst.trail = svg('path', {'class': 'trail', stroke: d.colours[inst.index]});
  inst.trail.setAttribute('d', trailOf(inst, k, k - TRAIL));
  return inst.trail;
}

function centreElement(x, y) {
  return svg('path', {'data-centre': '', 'data-x': x, 'data-y': y,
                      d: 'M' + (x - 5) + ' ' + y + 'H' + (x + 5) + 'M' + x + ' ' + (y - 5) + 'V' + (y + 5)});
}

function eventElement(e, age) {
  var kind = e[1], x = e[2], y = e[3];
  var mark = kind === @ASLEEP@ ? svg('circle', {cx: x, cy: y, r: 6, fill: '#6af'})
           : kind >= @STOPPED@ ? svg('rect', {x: x - 5, y: y - 5, width: 10, height: 10, fill: kind === @DESTROYED@ ? '#000' : '#fa0'})
           : svg('path', {d: wallMark(kind, x, y), fill: '#e33'});
  // The extension's conditions are named by their numbers, the stand-in's own marks by name.
  mark.setAttribute('data-event', kind >= @STOPPED@ ? MARKS[kind] : kind);
  mark.setAttribute('data-age', age);
  mark.setAttribute('opacity', (1 - age / FADE).toFixed(2));
  var title = svg('title', {});
  title.textContent = MARKS[kind] + ' at ' + x + ',' + y;
  mark.appendChild(title);
  return mark;
}

// A triangle pointing at the wall met.
function wallMark(kind, x, y) {
  var s = 6;
  if (kind === @LEFT_WALL@) return 'M' + (x - s) + ' ' + y + 'L' + (x + s) + ' ' + (y - s) + 'L' + (x + s) + ' ' + (y + s) + 'Z';
  if (kind === @RIGHT_WALL@) return 'M' + (x + s) + ' ' + y + 'L' + (x - s) + ' ' + (y - s) + 'L' + (x - s) + ' ' + (y + s) + 'Z';
  if (kind === @TOP_WALL@) return 'M' + x + ' ' + (y - s) + 'L' + (x - s) + ' ' + (y + s) + 'L' + (x + s) + ' ' + (y + s) + 'Z';
  return 'M' + x + ' ' + (y + s) + 'L' + (x - s) + ' ' + (y - s) + 'L' + (x + s) + ' ' + (y - s) + 'Z';
}

function textLine(text, attribute) {
  var div = document.createElement('div');
  if (attribute) div.setAttribute(attribute, '');
  if (/^\S+ box /.test(text)) div.className = 'box';
  div.textContent = text;
  return div;
}

function drawWalls(d) {
  var walls = $('walls');
  walls.replaceChildren();
  d.walls.forEach(function (w) {
    var line = svg('line', {'data-wall': w.group, x1: w.x1, y1: w.y1, x2: w.x2, y2: w.y2});
    var title = svg('title', {});
    title.textContent = 'wall of ' + w.group;
    line.appendChild(title);
    walls.appendChild(line);
  });
  $('frame-lines').replaceChildren.apply($('frame-lines'), d.head.map(function (t) { return textLine(t, ''); }));
}

// ---- The view ---------------------------------------------------------------------

// World units per screen pixel: the stage shows the whole view, centred.
function unitsPerPixel() {
  var r = $('stage').getBoundingClientRect();
  return r.width > 0 && r.height > 0 ? Math.max(view.w / r.width, view.h / r.height) : 1;
}

function figure(v) { return String(Math.round(v * 100) / 100); }

// Shows `v` and says so on the stage as data-view="X Y WIDTH HEIGHT".
function setView(v) {
  view = {x: v.x, y: v.y, w: v.w, h: v.h};
  var text = [view.x, view.y, view.w, view.h].map(figure).join(' ');
  $('stage').setAttribute('viewBox', text);
  $('stage').setAttribute('data-view', text);
  if (run) drawFar(frameData(shown.frame), shown.tick);
}

// Zooms by `factor` about the world point (x, y), which stays where it is.
function zoom(factor, x, y) {
  if (x === undefined) { x = view.x + view.w / 2; y = view.y + view.h / 2; }
  setView({x: x - (x - view.x) / factor, y: y - (y - view.y) / factor, w: view.w / factor, h: view.h / factor});
}

function pan(dx, dy) { setView({x: view.x + dx, y: view.y + dy, w: view.w, h: view.h}); }

function fit() { setView(frameData(shown.frame).fitted); }

// An instance out of the view is a mark at the nearest edge, labelled with
// where it is.
function drawFar(d, tick) {
  var marks = [], u = unitsPerPixel(), inset = 8 * u;
  d.insts.forEach(function (inst) {
    var k = at(inst, tick);
    if (k < 0) return;
    var x = inst.xs[k], y = inst.ys[k], s = inst.s;
    if (x + s.w >= view.x && x <= view.x + view.w && y + s.h >= view.y && y <= view.y + view.h) return;
    var mx = clamp(x + s.w / 2, view.x + inset, view.x + view.w - inset);
    var my = clamp(y + s.h / 2, view.y + inset, view.y + view.h - inset);
    var g = svg('g', {'data-far': s.n, 'data-x': x, 'data-y': y});
    g.appendChild(svg('circle', {cx: mx, cy: my, r: 5 * u, fill: d.colours[inst.index], stroke: '#000', 'stroke-width': u}));
    var label = svg('text', {x: mx, y: my + (my > view.y + view.h / 2 ? -9 : 16) * u, 'font-size': 11 * u,
                             'text-anchor': mx > view.x + view.w / 2 ? 'end' : 'start'});
    label.textContent = s.n + ' (' + x + ', ' + y + ')';
    g.appendChild(label);
    g.addEventListener('click', function () { pick(inst.index); });
    marks.push(g);
  });
  $('far').replaceChildren.apply($('far'), marks);
}

// Puts the elements in the layer, leaving it alone when they are already
// the ones there: from tick to tick the same instances mostly only move.
function fill(layer, elements) {
  var same = layer.childNodes.length === elements.length;
  for (var i = 0; same && i < elements.length; ++i) same = layer.childNodes[i] === elements[i];
  if (!same) layer.replaceChildren.apply(layer, elements);
}

// Draws tick `tick` of the shown frame; everything of the tick before goes.
function draw(tick) {
  var d = frameData(shown.frame);
  var trails = [], rects = [], centres = [], seen = {};
  d.insts.forEach(function (inst) {
    var k = at(inst, tick);
    if (k < 0) return;
    if (k > 0) trails.push(trailElement(d, inst, k));
    rects.push(instanceElement(d, inst, k, tick));
    var c = inst.centre ? tick - inst.s.c.t0 : -1;
    if (c >= 0 && c < inst.centre.xs.length) {
      var key = inst.centre.xs[c] + ',' + inst.centre.ys[c];
      if (!seen[key]) centres.push(centreElement(inst.centre.xs[c], inst.centre.ys[c]));
      seen[key] = true;
    }
  });
  var events = [];
  for (var age = FADE - 1; age >= 0; --age)
    (d.byTick[tick - age] || []).forEach(function (e) { events.push(eventElement(e, age)); });
  fill($('trails'), trails);
  fill($('instances'), rects);
  $('centres').replaceChildren.apply($('centres'), centres);
  $('events').replaceChildren.apply($('events'), events);
  $('lines').replaceChildren.apply($('lines'), (d.linesByTick[tick] || []).map(function (t) { return textLine(t, 'data-line'); }));
  drawFar(d, tick);
}

// The whole path of the followed instance and its events, each a link to its tick.
function drawPicked() {
  var d = frameData(shown.frame), list = $('picked'), chosen = $('chosen');
  list.replaceChildren();
  chosen.replaceChildren();
  $('picked-hint').hidden = picked >= 0;
  if (picked < 0 || picked >= d.insts.length) return;
  var inst = d.insts[picked];
  $('picked-title').textContent = 'Instance ' + inst.s.n;
  chosen.appendChild(svg('path', {d: trailOf(inst, inst.xs.length - 1, 0)}));
  d.f.ev.forEach(function (e) {
    if (e[4] !== picked) return;
    var a = document.createElement('a');
    a.href = '#frame=' + shown.frame + '&tick=' + e[0];
    a.textContent = 'tick ' + e[0] + ': ' + MARKS[e[1]] + ' at ' + e[2] + ',' + e[3];
    var li = document.createElement('li');
    li.appendChild(a);
    list.appendChild(li);
  });
}

function pick(index) {
  picked = picked === index ? -1 : index;
  drawPicked();
  draw(shown.tick);
}

// ---- Time -------------------------------------------------------------------------

function lastTick(k) { return Math.max(run.frames[k].ticks - 1, 0); }

function clamp(v, low, high) { return Math.min(Math.max(v, low), high); }

// Shows frame k at tick t, both clamped, and says so on <html>.
function show(k, t) {
  k = clamp(k, 0, Math.max(run.frames.length - 1, 0));
  t = clamp(t, 0, lastTick(k));
  var d = frameData(k);
  if (k !== shown.frame || !d.wallsDrawn) {
    if (k !== shown.frame) picked = -1;
    shown.frame = k;
    frames.forEach(function (f) { if (f) f.wallsDrawn = false; });
    d.wallsDrawn = true;
    setView(d.fitted);
    $('frame').value = String(k);
    $('slider').max = String(lastTick(k));
    drawWalls(d);
    drawPicked();
  }
  shown.tick = t;
  draw(t);
  $('slider').value = String(t);
  $('clock').textContent = 'tick ' + t + ' of ' + lastTick(k);
  document.documentElement.setAttribute('data-frame', String(k));
  document.documentElement.setAttribute('data-tick', String(t));
}

function pause() {
  if (timer !== null) clearInterval(timer);
  timer = null;
  $('play').textContent = 'play';
}

function play() {
  pause();
  if (shown.tick >= lastTick(shown.frame)) show(shown.frame, 0);
  $('play').textContent = 'pause';
  timer = setInterval(function () {
    if (shown.tick >= lastTick(shown.frame)) pause();
    else show(shown.frame, shown.tick + 1);
  }, 1000 / Number($('speed').value));
}

function step(by) { pause(); show(shown.frame, shown.tick + by); }

// "#tick=N" and "#frame=K&tick=N" open paused at that tick; "&zoom=F"
// zooms the frame's fitted view by F about its middle.
function fromHash() {
  var frame = 0, tick = 0, factor = 0;
  location.hash.replace(/^#/, '').split('&').forEach(function (part) {
    var kv = part.split('=');
    var n = parseInt(kv[1], 10);
    if (isNaN(n)) return;
    if (kv[0] === 'frame') frame = n;
    if (kv[0] === 'tick') tick = n;
    if (kv[0] === 'zoom' && parseFloat(kv[1]) > 0) factor = parseFloat(kv[1]);
  });
  pause();
  show(frame, tick);
  if (factor > 0) { fit(); zoom(factor); }
}

// The wheel zooms about the pointer; a drag pans; a click still picks.
function watchPointer() {
  var stage = $('stage'), drag = null, dragged = false;
  function world(e) {
    var r = stage.getBoundingClientRect(), u = unitsPerPixel();
    return {x: view.x + view.w / 2 + (e.clientX - r.left - r.width / 2) * u,
            y: view.y + view.h / 2 + (e.clientY - r.top - r.height / 2) * u};
  }
  stage.addEventListener('wheel', function (e) {
    e.preventDefault();
    var w = world(e);
    zoom(Math.pow(ZOOM, -e.deltaY / 100), w.x, w.y);
  }, {passive: false});
  stage.addEventListener('pointerdown', function (e) {
    if (e.button === 0) { drag = {x: e.clientX, y: e.clientY, u: unitsPerPixel(), view: view}; dragged = false; }
  });
  window.addEventListener('pointermove', function (e) {
    if (!drag) return;
    var dx = e.clientX - drag.x, dy = e.clientY - drag.y;
    if (!dragged && Math.abs(dx) + Math.abs(dy) < 4) return;
    dragged = true;
    setView({x: drag.view.x - dx * drag.u, y: drag.view.y - dy * drag.u, w: drag.view.w, h: drag.view.h});
  });
  window.addEventListener('pointerup', function () { drag = null; });
  // The click that ends a drag picks nothing.
  stage.addEventListener('click', function (e) { if (dragged) { e.stopPropagation(); dragged = false; } }, true);
}

// Draws every tick of every frame once and writes the mean time per tick.
function bench() {
  var ticks = 0, start = performance.now();
  run.frames.forEach(function (f, k) {
    show(k, 0);
    for (var t = 0; t <= lastTick(k); ++t, ++ticks) draw(t);
  });
  var ms = (performance.now() - start) / Math.max(ticks, 1);
  document.documentElement.setAttribute('data-ms-per-tick', ms.toFixed(3));
}

// ---- Start ------------------------------------------------------------------------

function start() {
  MARKS = JSON.parse($('marks').textContent);
  run = JSON.parse($('run').textContent);
  run.frames.forEach(function (f, k) {
    var option = document.createElement('option');
    option.value = String(k);
    option.textContent = k + ': ' + f.name;
    $('frame').appendChild(option);
  });
  $('frame').addEventListener('change', function () { pause(); show(Number($('frame').value), 0); });
  $('slider').addEventListener('input', function () { pause(); show(shown.frame, Number($('slider').value)); });
  $('play').addEventListener('click', function () { if (timer === null) play(); else pause(); });
  $('back').addEventListener('click', function () { step(-1); });
  $('forward').addEventListener('click', function () { step(1); });
  $('speed').addEventListener('change', function () { if (timer !== null) play(); });
  document.addEventListener('keydown', function (e) {
    if (e.target.tagName === 'SELECT' || e.target.tagName === 'INPUT') return;
    if (e.key === ' ') { e.preventDefault(); if (timer === null) play(); else pause(); }
    var by = view ? 0.1 * Math.max(view.w, view.h) : 0;
    if (e.shiftKey && e.key.indexOf('Arrow') === 0) {
      e.preventDefault();
      pan({ArrowLeft: -by, ArrowRight: by}[e.key] || 0, {ArrowUp: -by, ArrowDown: by}[e.key] || 0);
      return;
    }
    if (e.key === 'ArrowLeft') { e.preventDefault(); step(-1); }
    if (e.key === 'ArrowRight') { e.preventDefault(); step(1); }
    if (e.key === '+' || e.key === '=') zoom(ZOOM);
    if (e.key === '-') zoom(1 / ZOOM);
    if (e.key === '0') fit();
  });
  $('fit').addEventListener('click', fit);
  window.addEventListener('resize', function () { drawFar(frameData(shown.frame), shown.tick); });
  watchPointer();
  window.addEventListener('hashchange', fromHash);
  if (location.hash === '#bench') bench();
  fromHash();
}

start();
document.documentElement.setAttribute('data-ready', '1');

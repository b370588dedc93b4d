// simhost's replay page: plays a run in 3-D from the data simhost put into
// the page (see simhost/command/pictures/replay.h): a snapshot of every vessel as it
// was created (pose, meshes, its class's site description) and the run's
// events, the same objects as the trace. The state at a time t is the
// events up to t applied in order to those snapshots; the scene shows it.
//
// window.replay, for tests: seek(t) shows the run at t; objectsAt(t) tells
// what exists at t, without changing the view.
import * as THREE from 'three';

const data = JSON.parse(document.getElementById('replay-data').textContent);
const events = data.events;
const end = events.length ? events[events.length - 1].t : 0;
// MESHVIS_EXTERNAL: the visibility of a mesh added without one.
const kShownOutside = 1;

// ---- the state of the run at a time

function lastBefore(list, t) {
  let found = null;
  for (const item of list) {
    if (item.t > t + 1e-9) break;
    found = item;
  }
  return found;
}

// The snapshot taken as the vessel of a "created" event was announced.
function snapshotOf(name, t, used) {
  let best = null;
  for (const v of data.vessels) {
    if (v.name !== name || used.has(v) || v.t > t + 1e-9) continue;
    if (!best || v.t > best.t) best = v;
  }
  if (best) used.add(best);
  return best;
}

function stateAt(t) {
  const vessels = new Map();
  const crew = new Map();
  const used = new Set();
  let hud = { lines: [], height: 768 };
  let debug = '';
  for (const e of events) {
    if (e.t > t + 1e-9) break;
    switch (e.kind) {
      case 'created': {
        const snap = snapshotOf(e.name, e.t, used);
        if (!snap) break;
        const meshes = new Map();
        for (const m of snap.meshes) meshes.set(m.index, { mesh: m.mesh, offset: m.offset, vis: m.vis });
        vessels.set(e.name, { snap, name: e.name, cls: e.class, mass: e.empty_mass, meshes, pos: snap.pos, rot: snap.rot });
        break;
      }
      case 'deleted':
        vessels.delete(e.name);
        crew.delete(e.name);
        break;
      case 'mass':
        if (vessels.has(e.name)) vessels.get(e.name).mass = e.empty_mass;
        break;
      case 'mesh':
        applyMesh(vessels.get(e.name), e);
        break;
      case 'eva':
        crew.set(e.vessel, e.pos);
        break;
      case 'hud':
        hud = { lines: e.lines || [], height: e.height || 768 };
        break;
      case 'debug':
        debug = e.text || '';
        break;
    }
  }
  for (const p of data.poses) {
    if (p.t > t + 1e-9) break;
    const v = vessels.get(p.name);
    if (v) Object.assign(v, { pos: p.pos, rot: p.rot });
  }
  const areas = (lastBefore(data.areas, t) || { areas: {} }).areas;
  const lastUse = new Map();
  for (const use of data.setDowns) if (use.t <= t + 1e-9) lastUse.set(use.vessel, use.index);
  return { t, vessels, crew, hud, debug, areas, lastUse };
}

function applyMesh(vessel, e) {
  if (!vessel) return;
  const slot = vessel.meshes.get(e.index);
  if (e.action === 'added' || e.action === 'inserted') {
    vessel.meshes.set(e.index, { mesh: e.mesh, offset: e.offset || [0, 0, 0], vis: kShownOutside });
  } else if (e.action === 'deleted') {
    vessel.meshes.delete(e.index);
  } else if (e.action === 'shifted' && slot) {
    slot.offset = e.offset;
  } else if (e.action === 'visibility' && slot) {
    slot.vis = e.mode;
  }
}

function nextSetDown(state, vessel) {
  const site = vessel.snap.site;
  if (!site || !site.setDowns.length) return -1;
  return state.lastUse.has(vessel.name) ? (state.lastUse.get(vessel.name) + 1) % site.setDowns.length : 0;
}

function objectsAt(t) {
  const state = stateAt(t);
  const vessels = [...state.vessels.values()].map((v) => ({
    name: v.name,
    class: v.cls,
    mass: v.mass,
    pos: v.pos,
    meshes: [...v.meshes.entries()].map(([index, m]) => ({ index, mesh: m.mesh, visible: m.vis !== 0 })),
    visibleMeshes: [...v.meshes.entries()].filter(([, m]) => m.vis !== 0).map(([index]) => index).sort((a, b) => a - b),
    nextSetDown: nextSetDown(state, v),
  }));
  return {
    t,
    vessels,
    crew: [...state.crew.entries()].map(([vessel, pos]) => ({ vessel, pos })),
    hud: state.hud.lines.map((l) => l.text),
    debug: state.debug,
    areas: state.areas,
  };
}

// ---- the scene: simhost's frames are left-handed (x right, y up, z
// forward); three.js's are right-handed, so z changes sign.

const view = document.getElementById('view');
const renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
renderer.setPixelRatio(window.devicePixelRatio || 1);
view.prepend(renderer.domElement);
const scene = new THREE.Scene();
scene.background = new THREE.Color(0x05070a);
const camera = new THREE.PerspectiveCamera(45, 1, 0.1, 2000);
scene.add(new THREE.HemisphereLight(0xdde6ff, 0x3a3630, 1.4));
const sun = new THREE.DirectionalLight(0xffffff, 2.2);
sun.position.set(-30, 40, 20);
scene.add(sun);

const focus = data.vessels.find((v) => v.name === data.focus);
const groundY = focus ? -focus.cog : 0;

function flip(p) { return new THREE.Vector3(p[0], p[1], -p[2]); }

function poseMatrix(pos, rot) {
  const m = new THREE.Matrix4();
  // S R S with S = diag(1, 1, -1): the same turn in a right-handed frame.
  m.set(rot[0], rot[1], -rot[2], pos[0],
        rot[3], rot[4], -rot[5], pos[1],
        -rot[6], -rot[7], rot[8], -pos[2],
        0, 0, 0, 1);
  return m;
}

function addGround() {
  const size = 60;
  const ground = new THREE.Mesh(new THREE.PlaneGeometry(size * 8, size * 8),
    new THREE.MeshStandardMaterial({ color: 0x77736b, roughness: 1 }));
  ground.rotation.x = -Math.PI / 2;
  ground.position.y = groundY - 0.01;
  scene.add(ground);
  const grid = new THREE.GridHelper(size, size, 0x56534d, 0x8d8980);
  grid.position.y = groundY + 0.005;
  scene.add(grid);
}

const geometries = new Map();
function meshObject(name) {
  const mesh = data.meshes[name];
  const object = new THREE.Group();
  if (!mesh) return object;
  for (const group of mesh.groups) {
    const key = name + '#' + mesh.groups.indexOf(group);
    if (!geometries.has(key)) {
      const g = new THREE.BufferGeometry();
      const p = group.p.slice();
      for (let i = 2; i < p.length; i += 3) p[i] = -p[i];
      g.setAttribute('position', new THREE.Float32BufferAttribute(p, 3));
      g.setIndex(group.i);
      const flat = g.toNonIndexed();
      flat.computeVertexNormals();
      geometries.set(key, flat);
    }
    const colour = new THREE.Color(group.c[0], group.c[1], group.c[2]);
    object.add(new THREE.Mesh(geometries.get(key),
      new THREE.MeshStandardMaterial({ color: colour, roughness: 0.8, metalness: 0.1, side: THREE.DoubleSide })));
  }
  return object;
}

// The highest point of a mesh, in its own frame.
function meshTop(name) {
  let top = 0;
  for (const group of (data.meshes[name] || { groups: [] }).groups)
    for (let i = 1; i < group.p.length; i += 3) top = Math.max(top, group.p[i]);
  return top;
}

function textSprite(text, colour, height) {
  const canvas = document.createElement('canvas');
  const ctx = canvas.getContext('2d');
  const font = 'bold 40px DejaVu Sans, Verdana, Arial, sans-serif';
  ctx.font = font;
  canvas.width = Math.ceil(ctx.measureText(text).width) + 24;
  canvas.height = 56;
  ctx.font = font;
  ctx.fillStyle = 'rgba(10, 14, 18, 0.72)';
  ctx.fillRect(0, 0, canvas.width, canvas.height);
  ctx.fillStyle = colour;
  ctx.fillText(text, 12, 42);
  const texture = new THREE.CanvasTexture(canvas);
  texture.colorSpace = THREE.SRGBColorSpace;
  const sprite = new THREE.Sprite(new THREE.SpriteMaterial({ map: texture, depthTest: false }));
  sprite.scale.set(height * canvas.width / canvas.height, height, 1);
  sprite.renderOrder = 10;
  return sprite;
}

function ring(radius, colour, width) {
  const geometry = new THREE.RingGeometry(Math.max(radius - width, 0.01), radius, 96);
  const mesh = new THREE.Mesh(geometry, new THREE.MeshBasicMaterial({ color: colour, side: THREE.DoubleSide }));
  mesh.rotation.x = -Math.PI / 2;
  return mesh;
}

// The objects of the scene, by vessel name, remade when their snapshot
// changes; a vessel's mesh objects are shown or hidden by the state.
const shown = new Map();
const pickable = [];
let marks = new THREE.Group();
scene.add(marks);

function vesselObject(v) {
  const root = new THREE.Group();
  root.matrixAutoUpdate = false;
  root.userData = { name: v.name, meshes: new Map() };
  const label = textSprite(v.name, '#ffffff', 0.55);
  root.add(label);
  root.userData.label = label;
  scene.add(root);
  return root;
}

function syncVessel(v) {
  let entry = shown.get(v.name);
  if (!entry || entry.snap !== v.snap) {
    if (entry) scene.remove(entry.root);
    entry = { snap: v.snap, root: vesselObject(v) };
    shown.set(v.name, entry);
  }
  entry.root.matrix.copy(poseMatrix(v.pos, v.rot));
  entry.root.matrixWorldNeedsUpdate = true;
  const meshes = entry.root.userData.meshes;
  let top = 0.5;
  for (const [index, m] of v.meshes) {
    const key = index + ':' + m.mesh;
    if (!meshes.has(key)) {
      const object = meshObject(m.mesh);
      object.traverse((o) => { if (o.isMesh) { o.userData.vessel = v.name; pickable.push(o); } });
      entry.root.add(object);
      meshes.set(key, object);
    }
    const object = meshes.get(key);
    object.position.copy(flip(m.offset));
    object.visible = m.vis !== 0;
    if (object.visible) top = Math.max(top, meshTop(m.mesh) + m.offset[1]);
  }
  for (const [key, object] of meshes) {
    const index = Number(key.split(':')[0]);
    const slot = v.meshes.get(index);
    if (!slot || index + ':' + slot.mesh !== key) object.visible = false;
  }
  entry.root.userData.label.position.set(0, top + 0.6, 0);
}

function addMarks(state) {
  scene.remove(marks);
  marks = new THREE.Group();
  scene.add(marks);
  const lift = groundY + 0.03;
  for (const v of state.vessels.values()) {
    const toWorld = poseMatrix(v.pos, v.rot);
    const place = (p) => flip(p).applyMatrix4(toWorld).setY(lift);
    for (const area of state.areas[v.name] || []) {
      const r = ring(area.radius, area.enabled ? 0x2ecc71 : 0x8a8a8a, 0.12);
      r.position.copy(place(area.centre));
      marks.add(r);
    }
    const site = v.snap.site;
    if (site) {
      const next = nextSetDown(state, v);
      site.setDowns.forEach((s, i) => {
        const r = ring(i === next ? 0.5 : 0.3, 0xe74c3c, i === next ? 0.12 : 0.07);
        r.position.copy(place(s));
        marks.add(r);
        const number = textSprite(String(i + 1), i === next ? '#ff6b5b' : '#ffb0a8', 0.35);
        number.position.copy(place(s)).setY(lift + 0.35);
        marks.add(number);
      });
    }
  }
  for (const [vesselName, pos] of state.crew) {
    const v = state.vessels.get(vesselName);
    if (!v) continue;
    const at = flip(pos).applyMatrix4(poseMatrix(v.pos, v.rot)).setY(groundY);
    const suit = new THREE.MeshStandardMaterial({ color: 0xf2f2f2, roughness: 0.6 });
    const body = new THREE.Mesh(new THREE.CylinderGeometry(0.28, 0.3, 1.2, 16), suit);
    body.position.copy(at).setY(groundY + 0.6);
    const helmet = new THREE.Mesh(new THREE.SphereGeometry(0.25, 16, 12),
      new THREE.MeshStandardMaterial({ color: 0x1abc9c, roughness: 0.3 }));
    helmet.position.copy(at).setY(groundY + 1.45);
    marks.add(body, helmet);
  }
}

// ---- the orbiting camera

const orbit = { target: new THREE.Vector3(-1, groundY, 0), distance: 34, azimuth: -2.35, elevation: 0.62 };

function placeCamera() {
  const c = Math.cos(orbit.elevation);
  camera.position.set(orbit.target.x + orbit.distance * c * Math.sin(orbit.azimuth),
    orbit.target.y + orbit.distance * Math.sin(orbit.elevation),
    orbit.target.z + orbit.distance * c * Math.cos(orbit.azimuth));
  camera.lookAt(orbit.target);
}

function listenToPointer() {
  const canvas = renderer.domElement;
  let drag = null;
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener('pointerdown', (e) => {
    drag = { x: e.clientX, y: e.clientY, button: e.button, moved: 0 };
    canvas.setPointerCapture(e.pointerId);
  });
  canvas.addEventListener('pointermove', (e) => {
    if (!drag) return;
    const dx = e.clientX - drag.x, dy = e.clientY - drag.y;
    drag.x = e.clientX;
    drag.y = e.clientY;
    drag.moved += Math.abs(dx) + Math.abs(dy);
    if (drag.button === 2 || e.shiftKey) {
      const s = orbit.distance / 600;
      const right = new THREE.Vector3().setFromMatrixColumn(camera.matrix, 0).setY(0).normalize();
      const ahead = new THREE.Vector3(-right.z, 0, right.x);
      orbit.target.addScaledVector(right, -dx * s).addScaledVector(ahead, -dy * s);
    } else {
      orbit.azimuth -= dx * 0.008;
      orbit.elevation = Math.min(1.5, Math.max(0.05, orbit.elevation + dy * 0.006));
    }
    render();
  });
  canvas.addEventListener('pointerup', (e) => {
    if (drag && drag.moved < 4 && drag.button === 0) pick(e);
    drag = null;
  });
  canvas.addEventListener('wheel', (e) => {
    e.preventDefault();
    orbit.distance = Math.min(300, Math.max(4, orbit.distance * Math.exp(e.deltaY * 0.001)));
    render();
  }, { passive: false });
}

function pick(e) {
  const rect = renderer.domElement.getBoundingClientRect();
  const pointer = new THREE.Vector2(((e.clientX - rect.left) / rect.width) * 2 - 1,
    -((e.clientY - rect.top) / rect.height) * 2 + 1);
  const caster = new THREE.Raycaster();
  caster.setFromCamera(pointer, camera);
  const hit = caster.intersectObjects(pickable.filter((o) => isShown(o)), false)[0];
  showInfo(hit ? hit.object.userData.vessel : null);
}

function isShown(object) {
  for (let o = object; o; o = o.parent) if (!o.visible) return false;
  return object.parent !== null && shownRootOf(object) !== null;
}

function shownRootOf(object) {
  for (let o = object; o; o = o.parent) if (o.parent === scene) return o;
  return null;
}

let selected = null;
function showInfo(name) {
  selected = name;
  const info = document.getElementById('info');
  const v = name ? current.vessels.get(name) : null;
  if (!v) {
    info.style.display = 'none';
    return;
  }
  info.style.display = 'block';
  info.innerHTML = '';
  const title = document.createElement('b');
  title.textContent = v.name;
  info.append(title, document.createElement('br'), 'class ' + v.cls, document.createElement('br'),
    'empty mass ' + Math.round(v.mass) + ' kg');
}

// ---- the overlays, the timeline and the controls

const slider = document.getElementById('slider');
const clock = document.getElementById('clock');
const playButton = document.getElementById('play');
const timelineLines = [];

function fillTimeline() {
  const panel = document.getElementById('timeline');
  for (const line of data.timeline) {
    const div = document.createElement('div');
    div.textContent = line.text;
    div.addEventListener('click', () => seek(line.t));
    panel.append(div);
    timelineLines.push({ t: line.t, div });
  }
}

let nowLine = null;
function followTimeline(t) {
  let latest = null;
  for (const line of timelineLines) {
    const past = line.t <= t + 1e-9;
    line.div.classList.toggle('past', past);
    line.div.classList.remove('now');
    if (past) latest = line;
  }
  if (latest) latest.div.classList.add('now');
  if (latest !== nowLine && latest) latest.div.scrollIntoView({ block: 'center' });
  nowLine = latest;
}

function drawHud(state) {
  const hud = document.getElementById('hud');
  hud.innerHTML = '';
  const w = view.clientWidth, h = view.clientHeight;
  // The HUD is drawn for a 1024-pixel-wide surface; its lines keep their
  // places on the view.
  for (const line of state.hud.lines) {
    const div = document.createElement('div');
    div.textContent = line.text;
    div.style.left = (line.x / 1024) * w + 'px';
    div.style.top = (line.y / state.hud.height) * h - 15 + 'px';
    hud.append(div);
  }
  document.getElementById('debug').textContent = state.debug;
}

let current = stateAt(0);
let time = 0;
let playing = false;
let speed = 2;

function render() {
  placeCamera();
  renderer.render(scene, camera);
}

function seek(t) {
  time = Math.min(Math.max(Number(t) || 0, 0), end);
  current = stateAt(time);
  for (const [name, entry] of shown) {
    if (!current.vessels.has(name)) {
      scene.remove(entry.root);
      shown.delete(name);
    }
  }
  for (const v of current.vessels.values()) syncVessel(v);
  pickable.splice(0, pickable.length, ...pickable.filter((o) => shownRootOf(o) !== null));
  addMarks(current);
  drawHud(current);
  followTimeline(time);
  slider.value = String(time);
  clock.textContent = time.toFixed(1) + ' s of ' + end.toFixed(1) + ' s';
  if (selected) showInfo(selected);
  render();
  return objectsAt(time);
}

function resize() {
  const w = view.clientWidth, h = view.clientHeight;
  renderer.setSize(w, h);
  camera.aspect = w / Math.max(h, 1);
  camera.updateProjectionMatrix();
  seek(time);
}

function setPlaying(on) {
  playing = on;
  playButton.textContent = on ? 'Pause' : 'Play';
}

let lastFrame = null;
function tick(now) {
  if (playing && lastFrame !== null) {
    const t = time + ((now - lastFrame) / 1000) * speed;
    if (t >= end) setPlaying(false);
    seek(Math.min(t, end));
  }
  lastFrame = now;
  requestAnimationFrame(tick);
}

function start() {
  document.title = 'simhost replay: ' + data.title;
  document.getElementById('title').textContent = data.title + ' · focus ' + data.focus +
    (data.beyond > 0 ? ' · ' + data.beyond + (data.beyond === 1 ? ' vessel' : ' vessels') + ' beyond ' + data.radius +
      ' m not drawn' : '');
  slider.max = String(end);
  slider.addEventListener('input', () => { setPlaying(false); seek(Number(slider.value)); });
  playButton.addEventListener('click', () => {
    if (!playing && time >= end) seek(0);
    setPlaying(!playing);
  });
  const speedChoice = document.getElementById('speed');
  speedChoice.addEventListener('change', () => { speed = Number(speedChoice.value); });
  addGround();
  fillTimeline();
  listenToPointer();
  window.addEventListener('resize', resize);
  const wanted = /[#&]t=([0-9.]+)/.exec(location.hash);
  time = wanted ? Number(wanted[1]) : 0;
  resize();
  if (!wanted) setPlaying(true);
  requestAnimationFrame(tick);
}

window.replay = { seek, objectsAt, end, pause: () => setPlaying(false), play: () => setPlaying(true) };
start();
window.replay.ready = true;

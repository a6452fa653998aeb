// ORVA 3D Studio web player: loads game.json and the scene, then runs a first-person character
// that collides with every mesh of the scene. Units are metres and seconds, +Y up; angles are in
// radians unless a name says degrees.
//
// [SECTION] Page elements and input state
// [SECTION] Triangle BVH: ray casts against the static level
// [SECTION] Player: the character controller
// [SECTION] Texture transform
// [SECTION] Input handlers
// [SECTION] Start-up and frame loop

import * as THREE from 'three';
import { GLTFLoader } from './lib/loaders/GLTFLoader.js';

// =============================================================================================
// [SECTION] Page elements and input state
// =============================================================================================

const MOUSE_SENSITIVITY = 0.0022; // radians per pixel
const TOUCH_SENSITIVITY = 0.005; // radians per pixel of a touch drag

const overlay = document.getElementById('overlay');
const statusLine = document.getElementById('status');
const playButton = document.getElementById('play');
const joystick = document.getElementById('joystick');
const joystickKnob = document.getElementById('joystick-knob');
const jumpButton = document.getElementById('jump');

// What the devices reported since the last frame; the player consumes the look deltas and the
// queued jump once per frame.
const input = {
    keys: new Set(), // KeyboardEvent.code names held down
    moveX: 0, // joystick, -1..1, right positive
    moveY: 0, // joystick, -1..1, forward positive
    lookDX: 0, // pixels since the last frame
    lookDY: 0,
    jumpQueued: false,
    active: false, // playing: the overlay is hidden and the player updates
};

const isTouch = window.matchMedia('(pointer: coarse)').matches || 'ontouchstart' in window;

function showError(message) {
    statusLine.textContent = message;
    statusLine.classList.add('error');
    statusLine.hidden = false;
    playButton.hidden = true;
    overlay.classList.remove('hidden');
}

function finiteOr(value, fallback) {
    return typeof value === 'number' && Number.isFinite(value) ? value : fallback;
}

// =============================================================================================
// [SECTION] Triangle BVH: ray casts against the static level
// =============================================================================================
//
// The level does not move, so the triangles of all colliders are gathered once, in world space,
// into one bounding volume hierarchy. A cast gives the same nearest hit as three.js's Raycaster
// over the collider meshes with double-sided materials (the same ray/triangle test, distances in
// world space, hits from 0 up to the reach inclusive, ties to the earlier mesh and triangle)
// without visiting every triangle of every mesh.

const BVH_LEAF_SIZE = 8;

// The index ranges [start, end) of the triangles three.js's Mesh.raycast tests: the draw range,
// cut by the groups when the mesh has several materials. Null when the mesh has no positions.
function triangleRanges(mesh) {
    const geometry = mesh.geometry;
    const position = geometry.attributes.position;
    if (!position || mesh.material === undefined) return null;
    const total = geometry.index !== null ? geometry.index.count : position.count;
    const drawStart = Math.max(0, geometry.drawRange.start);
    const drawEnd = Math.min(total, geometry.drawRange.start + geometry.drawRange.count);
    if (!Array.isArray(mesh.material)) return [[drawStart, drawEnd]];
    const ranges = [];
    for (const group of geometry.groups) {
        if (mesh.material[group.materialIndex] === undefined) continue;
        const start = Math.max(group.start, drawStart);
        const end = Math.min(total, Math.min(group.start + group.count, drawEnd));
        if (end > start) ranges.push([start, end]);
    }
    return ranges;
}

class TriangleBvh {
    // meshes: three.js meshes whose world matrices are up to date; they must not move afterwards.
    constructor(meshes) {
        const sources = [];
        let vertexCount = 0;
        let triangleCount = 0;
        for (const mesh of meshes) {
            if (!mesh.isMesh) continue;
            const ranges = triangleRanges(mesh);
            if (ranges === null) continue;
            for (const [start, end] of ranges) triangleCount += Math.max(0, Math.floor((end - start) / 3));
            sources.push({ mesh, ranges });
            vertexCount += mesh.geometry.attributes.position.count;
        }

        // 1. World-space vertices; triangles as index triples into them, in mesh order.
        this.meshes = [];
        this.flipNormal = []; // per mesh: a mirroring world matrix turns the winding around
        this.vertices = new Float32Array(vertexCount * 3);
        this.triangles = new Uint32Array(triangleCount * 3);
        this.triangleMesh = new Uint32Array(triangleCount);
        const v = new THREE.Vector3();
        let vertexBase = 0;
        let t = 0;
        let extent = 0;
        for (const { mesh, ranges } of sources) {
            const meshIndex = this.meshes.length;
            this.meshes.push(mesh);
            this.flipNormal.push(mesh.matrixWorld.determinant() < 0);
            const count = mesh.geometry.attributes.position.count;
            for (let i = 0; i < count; i++) {
                mesh.getVertexPosition(i, v).applyMatrix4(mesh.matrixWorld);
                const p = (vertexBase + i) * 3;
                this.vertices[p] = v.x;
                this.vertices[p + 1] = v.y;
                this.vertices[p + 2] = v.z;
                extent = Math.max(extent, Math.abs(v.x), Math.abs(v.y), Math.abs(v.z));
            }
            const index = mesh.geometry.index;
            for (const [start, end] of ranges) {
                for (let j = start; j + 2 < end; j += 3) {
                    for (let k = 0; k < 3; k++) {
                        this.triangles[t * 3 + k] = vertexBase + (index !== null ? index.getX(j + k) : j + k);
                    }
                    this.triangleMesh[t] = meshIndex;
                    t++;
                }
            }
            vertexBase += count;
        }
        this.triangleCount = t;
        // Node boxes grow by this much so that rounding in the box test never drops a hit that the
        // triangle test would find on a box face.
        this.pad = 1e-6 * (1 + extent);
        this.build();
        this.stack = new Int32Array(256);
    }

    // 2. Top-down build: each node splits at the middle of its triangles' centroid box along the
    // longest axis; at most BVH_LEAF_SIZE triangles, or triangles whose centroids cannot be told
    // apart, make a leaf. The partition also gathers both halves' centroid boxes, so each level
    // costs one pass over its triangles; node boxes are filled bottom-up at the end.
    build() {
        const n = this.triangleCount;
        const tv = this.triangles;
        const vs = this.vertices;
        const boxes = new Float32Array(n * 6);
        const centroids = new Float32Array(n * 3);
        const order = new Uint32Array(n);
        let cx0 = Infinity, cy0 = Infinity, cz0 = Infinity, cx1 = -Infinity, cy1 = -Infinity, cz1 = -Infinity;
        for (let i = 0; i < n; i++) {
            order[i] = i;
            const a = tv[i * 3] * 3, b = tv[i * 3 + 1] * 3, c = tv[i * 3 + 2] * 3;
            const x0 = Math.min(vs[a], vs[b], vs[c]), x1 = Math.max(vs[a], vs[b], vs[c]);
            const y0 = Math.min(vs[a + 1], vs[b + 1], vs[c + 1]), y1 = Math.max(vs[a + 1], vs[b + 1], vs[c + 1]);
            const z0 = Math.min(vs[a + 2], vs[b + 2], vs[c + 2]), z1 = Math.max(vs[a + 2], vs[b + 2], vs[c + 2]);
            boxes[i * 6] = x0;
            boxes[i * 6 + 1] = y0;
            boxes[i * 6 + 2] = z0;
            boxes[i * 6 + 3] = x1;
            boxes[i * 6 + 4] = y1;
            boxes[i * 6 + 5] = z1;
            const x = (x0 + x1) * 0.5, y = (y0 + y1) * 0.5, z = (z0 + z1) * 0.5;
            centroids[i * 3] = x;
            centroids[i * 3 + 1] = y;
            centroids[i * 3 + 2] = z;
            if (x < cx0) cx0 = x;
            if (x > cx1) cx1 = x;
            if (y < cy0) cy0 = y;
            if (y > cy1) cy1 = y;
            if (z < cz0) cz0 = z;
            if (z > cz1) cz1 = z;
        }

        // Node arrays: for a leaf the first position in `order` and the triangle count, for an
        // inner node the two child indices (always greater than the node's own).
        let capacity = Math.max(1, Math.ceil((4 * n) / BVH_LEAF_SIZE));
        let links = new Uint32Array(capacity * 2);
        let leaf = new Uint8Array(capacity);
        let nodeCount = 1;
        // Work items of nine numbers: node, first, count, centroid box min xyz, max xyz.
        const work = [0, 0, n, cx0, cy0, cz0, cx1, cy1, cz1];
        while (work.length > 0) {
            const base = work.length - 9;
            const node = work[base], first = work[base + 1], count = work[base + 2];
            const ex = work[base + 6] - work[base + 3];
            const ey = work[base + 7] - work[base + 4];
            const ez = work[base + 8] - work[base + 5];
            const axis = ex >= ey && ex >= ez ? 0 : ey >= ez ? 1 : 2;
            const low = work[base + 3 + axis];
            const high = work[base + 6 + axis];
            const split = (low + high) * 0.5;
            work.length = base;
            let mid = -1;
            let lx0 = Infinity, ly0 = Infinity, lz0 = Infinity, lx1 = -Infinity, ly1 = -Infinity, lz1 = -Infinity;
            let rx0 = Infinity, ry0 = Infinity, rz0 = Infinity, rx1 = -Infinity, ry1 = -Infinity, rz1 = -Infinity;
            if (count > BVH_LEAF_SIZE && high > low) {
                let i = first;
                let j = first + count - 1;
                while (i <= j) {
                    const tri = order[i];
                    const x = centroids[tri * 3], y = centroids[tri * 3 + 1], z = centroids[tri * 3 + 2];
                    if (centroids[tri * 3 + axis] < split) {
                        if (x < lx0) lx0 = x;
                        if (x > lx1) lx1 = x;
                        if (y < ly0) ly0 = y;
                        if (y > ly1) ly1 = y;
                        if (z < lz0) lz0 = z;
                        if (z > lz1) lz1 = z;
                        i++;
                    } else {
                        if (x < rx0) rx0 = x;
                        if (x > rx1) rx1 = x;
                        if (y < ry0) ry0 = y;
                        if (y > ry1) ry1 = y;
                        if (z < rz0) rz0 = z;
                        if (z > rz1) rz1 = z;
                        order[i] = order[j];
                        order[j] = tri;
                        j--;
                    }
                }
                // Rounding can put the middle onto the lowest centroid: then one side is empty.
                if (i > first && i < first + count) mid = i;
            }
            if (mid < 0) {
                leaf[node] = 1;
                links[node * 2] = first;
                links[node * 2 + 1] = count;
                continue;
            }
            if (nodeCount + 2 > capacity) {
                capacity *= 2;
                const grownLinks = new Uint32Array(capacity * 2);
                grownLinks.set(links);
                links = grownLinks;
                const grownLeaf = new Uint8Array(capacity);
                grownLeaf.set(leaf);
                leaf = grownLeaf;
            }
            const left = nodeCount++;
            const right = nodeCount++;
            leaf[node] = 0;
            links[node * 2] = left;
            links[node * 2 + 1] = right;
            work.push(right, mid, first + count - mid, rx0, ry0, rz0, rx1, ry1, rz1);
            work.push(left, first, mid - first, lx0, ly0, lz0, lx1, ly1, lz1);
        }

        // 3. Node boxes, children before parents.
        const bounds = new Float32Array(nodeCount * 6);
        const pad = this.pad;
        for (let node = nodeCount - 1; node >= 0; node--) {
            let x0 = Infinity, y0 = Infinity, z0 = Infinity, x1 = -Infinity, y1 = -Infinity, z1 = -Infinity;
            if (leaf[node] === 1) {
                const start = links[node * 2], end = start + links[node * 2 + 1];
                for (let i = start; i < end; i++) {
                    const b = order[i] * 6;
                    if (boxes[b] < x0) x0 = boxes[b];
                    if (boxes[b + 1] < y0) y0 = boxes[b + 1];
                    if (boxes[b + 2] < z0) z0 = boxes[b + 2];
                    if (boxes[b + 3] > x1) x1 = boxes[b + 3];
                    if (boxes[b + 4] > y1) y1 = boxes[b + 4];
                    if (boxes[b + 5] > z1) z1 = boxes[b + 5];
                }
                x0 -= pad;
                y0 -= pad;
                z0 -= pad;
                x1 += pad;
                y1 += pad;
                z1 += pad;
            } else {
                const l = links[node * 2] * 6, r = links[node * 2 + 1] * 6;
                x0 = Math.min(bounds[l], bounds[r]);
                y0 = Math.min(bounds[l + 1], bounds[r + 1]);
                z0 = Math.min(bounds[l + 2], bounds[r + 2]);
                x1 = Math.max(bounds[l + 3], bounds[r + 3]);
                y1 = Math.max(bounds[l + 4], bounds[r + 4]);
                z1 = Math.max(bounds[l + 5], bounds[r + 5]);
            }
            bounds[node * 6] = x0;
            bounds[node * 6 + 1] = y0;
            bounds[node * 6 + 2] = z0;
            bounds[node * 6 + 3] = x1;
            bounds[node * 6 + 4] = y1;
            bounds[node * 6 + 5] = z1;
        }
        this.nodeCount = nodeCount;
        this.bounds = bounds;
        this.links = links;
        this.leaf = leaf;
        this.order = order;
    }

    // Distance along the ray at which it enters the node's box, or Infinity when it misses the box
    // or enters beyond `far`. (ix, iy, iz) is the inverse of the unit direction.
    enterNode(node, ox, oy, oz, ix, iy, iz, far) {
        const b = this.bounds;
        const o = node * 6;
        let tMin = 0;
        let tMax = far;
        let t1 = (b[o] - ox) * ix, t2 = (b[o + 3] - ox) * ix;
        if (t1 > t2) [t1, t2] = [t2, t1];
        if (t1 > tMin) tMin = t1;
        if (t2 < tMax) tMax = t2;
        t1 = (b[o + 1] - oy) * iy;
        t2 = (b[o + 4] - oy) * iy;
        if (t1 > t2) [t1, t2] = [t2, t1];
        if (t1 > tMin) tMin = t1;
        if (t2 < tMax) tMax = t2;
        t1 = (b[o + 2] - oz) * iz;
        t2 = (b[o + 5] - oz) * iz;
        if (t1 > t2) [t1, t2] = [t2, t1];
        if (t1 > tMin) tMin = t1;
        if (t2 < tMax) tMax = t2;
        // NaN (an origin on a slab of an axis the ray runs parallel to) constrains nothing above.
        return tMin <= tMax ? tMin : Infinity;
    }

    // Nearest triangle hit by the ray from (ox, oy, oz) along the unit direction (dx, dy, dz) within
    // [0, far]. Fills hit.distance and hit.triangle and returns true, or returns false.
    raycast(ox, oy, oz, dx, dy, dz, far, hit) {
        if (this.triangleCount === 0 || !(far >= 0)) return false;
        const ix = 1 / dx, iy = 1 / dy, iz = 1 / dz;
        const vs = this.vertices, tv = this.triangles, order = this.order;
        const links = this.links, leaf = this.leaf;
        let stack = this.stack;
        let best = far;
        let found = -1;
        let sp = 0;
        if (this.enterNode(0, ox, oy, oz, ix, iy, iz, best) === Infinity) return false;
        stack[sp++] = 0;
        while (sp > 0) {
            const node = stack[--sp];
            if (leaf[node] === 0) {
                const left = links[node * 2], right = links[node * 2 + 1];
                const tl = this.enterNode(left, ox, oy, oz, ix, iy, iz, best);
                const tr = this.enterNode(right, ox, oy, oz, ix, iy, iz, best);
                if (sp + 2 > stack.length) {
                    const grown = new Int32Array(stack.length * 2);
                    grown.set(stack);
                    stack = this.stack = grown;
                }
                // The nearer child goes on top so it is searched first and shortens `best`.
                if (tl <= tr) {
                    if (tr !== Infinity) stack[sp++] = right;
                    if (tl !== Infinity) stack[sp++] = left;
                } else {
                    if (tl !== Infinity) stack[sp++] = left;
                    if (tr !== Infinity) stack[sp++] = right;
                }
                continue;
            }
            // Before searching a node popped from the stack, make sure it is still not beyond `best`.
            if (this.enterNode(node, ox, oy, oz, ix, iy, iz, best) === Infinity) continue;
            const first = links[node * 2], end = first + links[node * 2 + 1];
            for (let i = first; i < end; i++) {
                const tri = order[i];
                const a = tv[tri * 3] * 3, b = tv[tri * 3 + 1] * 3, c = tv[tri * 3 + 2] * 3;
                const ax = vs[a], ay = vs[a + 1], az = vs[a + 2];
                const e1x = vs[b] - ax, e1y = vs[b + 1] - ay, e1z = vs[b + 2] - az;
                const e2x = vs[c] - ax, e2y = vs[c + 1] - ay, e2z = vs[c + 2] - az;
                const nx = e1y * e2z - e1z * e2y, ny = e1z * e2x - e1x * e2z, nz = e1x * e2y - e1y * e2x;
                let dDotN = dx * nx + dy * ny + dz * nz;
                let sign;
                if (dDotN > 0) {
                    sign = 1;
                } else if (dDotN < 0) {
                    sign = -1;
                    dDotN = -dDotN;
                } else {
                    continue;
                }
                const qx = ox - ax, qy = oy - ay, qz = oz - az;
                // barycentric tests: d . (q x e2) and d . (e1 x q), both scaled by |d . n|
                const b1 =
                    sign * (dx * (qy * e2z - qz * e2y) + dy * (qz * e2x - qx * e2z) + dz * (qx * e2y - qy * e2x));
                if (b1 < 0) continue;
                const b2 =
                    sign * (dx * (e1y * qz - e1z * qy) + dy * (e1z * qx - e1x * qz) + dz * (e1x * qy - e1y * qx));
                if (b2 < 0) continue;
                if (b1 + b2 > dDotN) continue;
                const qDotN = -sign * (qx * nx + qy * ny + qz * nz);
                if (qDotN < 0) continue;
                const distance = qDotN / dDotN;
                if (distance < best || (distance === best && (found < 0 || tri < found))) {
                    best = distance;
                    found = tri;
                }
            }
        }
        if (found < 0) return false;
        hit.distance = best;
        hit.triangle = found;
        return true;
    }

    // The triangle's world-space normal as three.js reports it for the owning mesh: its face normal
    // turned by the mesh's normal matrix, normalised. Null for a degenerate triangle.
    worldNormal(triangle, target) {
        const vs = this.vertices, tv = this.triangles;
        const a = tv[triangle * 3] * 3, b = tv[triangle * 3 + 1] * 3, c = tv[triangle * 3 + 2] * 3;
        // three.js: normal = (c - b) x (a - b)
        const ux = vs[c] - vs[b], uy = vs[c + 1] - vs[b + 1], uz = vs[c + 2] - vs[b + 2];
        const wx = vs[a] - vs[b], wy = vs[a + 1] - vs[b + 1], wz = vs[a + 2] - vs[b + 2];
        target.set(uy * wz - uz * wy, uz * wx - ux * wz, ux * wy - uy * wx);
        const length = target.length();
        if (!(length > 0)) return null;
        target.multiplyScalar((this.flipNormal[this.triangleMesh[triangle]] ? -1 : 1) / length);
        return target;
    }
}

// =============================================================================================
// [SECTION] Player: the character controller
// =============================================================================================

const HORIZONTAL_RAY_SIDES = [-0.8, 0, 0.8]; // times the radius, across the motion
const GROUND_RAY_OFFSETS = [0, 0, 0.7, 0, -0.7, 0, 0, 0.7, 0, -0.7]; // x, z pairs, times the radius
const UP = new THREE.Vector3(0, 1, 0);
const DOWN = new THREE.Vector3(0, -1, 0);

class Player {
    // settings: game.json's "player" object (missing or non-numeric values take the defaults);
    // spawn: game.json's "spawn" object; colliders: the meshes of the level, world matrices up to date.
    constructor(settings, spawn, colliders, killHeight) {
        const s = settings !== null && typeof settings === 'object' ? settings : {};
        this.height = finiteOr(s.height, 1.7);
        this.eyeHeight = finiteOr(s.eyeHeight, 1.6);
        this.radius = finiteOr(s.radius, 0.3);
        this.walkSpeed = finiteOr(s.walkSpeed, 4.5);
        this.runSpeed = finiteOr(s.runSpeed, 8.0);
        this.jumpSpeed = finiteOr(s.jumpSpeed, 5.5);
        this.gravity = finiteOr(s.gravity, 18.0);
        this.stepHeight = finiteOr(s.stepHeight, 0.35);

        this.colliders = colliders;
        this.bvh = new TriangleBvh(colliders);
        this.killHeight = killHeight;

        const sp = spawn !== null && typeof spawn === 'object' ? spawn : {};
        const p = Array.isArray(sp.position) ? sp.position : [];
        this.spawnPosition = new THREE.Vector3(finiteOr(p[0], 0), finiteOr(p[1], 0), finiteOr(p[2], 5));
        this.spawnYaw = THREE.MathUtils.degToRad(finiteOr(sp.yawDeg, 0));
        this.spawnPitch = THREE.MathUtils.degToRad(finiteOr(sp.pitchDeg, 0));

        this.position = new THREE.Vector3(); // the feet
        this.yaw = 0;
        this.pitch = 0;
        this.verticalVelocity = 0;
        this.velocity = new THREE.Vector3(); // horizontal, y stays 0
        this.grounded = false;

        // Scratch values, so a frame allocates nothing.
        this._hit = { distance: 0, triangle: -1, object: null };
        this._best = { distance: 0, triangle: -1, object: null };
        this._normal = new THREE.Vector3();
        this._origin = new THREE.Vector3();
        this._delta = new THREE.Vector3();
        this._dir = new THREE.Vector3();
        this._side = new THREE.Vector3();
        this._wish = new THREE.Vector3();
        this._remaining = new THREE.Vector3();
        this._heights = [0, 0, 0];

        this.respawn();
    }

    respawn() {
        this.position.copy(this.spawnPosition);
        this.yaw = this.spawnYaw;
        this.pitch = THREE.MathUtils.clamp(this.spawnPitch, -1.5, 1.5);
        this.verticalVelocity = 0;
        this.velocity.set(0, 0, 0);
        this.grounded = false;
        this.moveVertical(-0.001); // settle the feet on the ground right below
    }

    // Nearest hit of the colliders along a unit direction within `far`, or null. The returned
    // object is reused by the next cast: copy what must outlive it.
    cast(origin, direction, far) {
        const hit = this._hit;
        const { x, y, z } = origin;
        if (!this.bvh.raycast(x, y, z, direction.x, direction.y, direction.z, far, hit)) return null;
        hit.object = this.bvh.meshes[this.bvh.triangleMesh[hit.triangle]];
        return hit;
    }

    // World-space normal of the hit face, or null when the hit has none.
    worldNormal(hit) {
        if (hit === null || hit.triangle < 0) return null;
        return this.bvh.worldNormal(hit.triangle, this._normal);
    }

    update(dt) {
        // 1. Look.
        this.yaw -= input.lookDX * MOUSE_SENSITIVITY;
        this.pitch -= input.lookDY * MOUSE_SENSITIVITY;
        this.pitch = THREE.MathUtils.clamp(this.pitch, -1.55, 1.55);
        input.lookDX = 0;
        input.lookDY = 0;

        // 2. Wish velocity from the joystick and the keys, never faster diagonally.
        const keys = input.keys;
        let mx = input.moveX;
        let my = input.moveY;
        if (keys.has('KeyW') || keys.has('ArrowUp')) my += 1;
        if (keys.has('KeyS') || keys.has('ArrowDown')) my -= 1;
        if (keys.has('KeyD') || keys.has('ArrowRight')) mx += 1;
        if (keys.has('KeyA') || keys.has('ArrowLeft')) mx -= 1;
        const sinYaw = Math.sin(this.yaw);
        const cosYaw = Math.cos(this.yaw);
        const wish = this._wish.set(-sinYaw * my + cosYaw * mx, 0, -cosYaw * my - sinYaw * mx);
        if (wish.lengthSq() > 1) wish.normalize();
        wish.multiplyScalar(keys.has('ShiftLeft') || keys.has('ShiftRight') ? this.runSpeed : this.walkSpeed);

        // 3. Approach the wish quickly on the ground, slowly in the air.
        const k = this.grounded ? 14 : 3;
        this.velocity.lerp(wish, 1 - Math.exp(-k * dt));
        this.moveHorizontal(this._delta.copy(this.velocity).multiplyScalar(dt));

        // 4. A jump queued in the air is dropped.
        if (input.jumpQueued && this.grounded) {
            this.verticalVelocity = this.jumpSpeed;
            this.grounded = false;
        }
        input.jumpQueued = false;

        // 5. Gravity.
        this.verticalVelocity -= this.gravity * dt;
        this.moveVertical(this.verticalVelocity * dt);

        // 6. Fell out of the level.
        if (this.position.y < this.killHeight) this.respawn();
    }

    // Moves by a horizontal delta, sliding along walls: up to three passes, each stopping at the
    // nearest wall (radius away) and turning the rest of the motion along it.
    moveHorizontal(delta) {
        const d = this._delta;
        if (d !== delta) d.copy(delta);
        d.y = 0;
        const dir = this._dir;
        const side = this._side;
        const origin = this._origin;
        const best = this._best;
        for (let pass = 0; pass < 3; pass++) {
            const length = d.length();
            if (length < 0.000001) return;
            dir.copy(d).divideScalar(length);
            side.set(-dir.z, 0, dir.x);

            best.triangle = -1;
            best.distance = Infinity;
            const heights = this._heights;
            heights[0] = this.stepHeight + 0.05;
            heights[1] = this.height * 0.55;
            heights[2] = this.height - 0.1;
            for (let h = 0; h < 3; h++) {
                for (let s = 0; s < 3; s++) {
                    origin.copy(this.position).addScaledVector(side, HORIZONTAL_RAY_SIDES[s] * this.radius);
                    origin.y += heights[h];
                    const hit = this.cast(origin, dir, length + this.radius);
                    if (hit !== null && hit.distance < best.distance) {
                        best.distance = hit.distance;
                        best.triangle = hit.triangle;
                        best.object = hit.object;
                    }
                }
            }
            if (best.triangle < 0) {
                this.position.add(d);
                return;
            }

            const moved = Math.min(Math.max(0, best.distance - this.radius), length);
            this.position.addScaledVector(dir, moved);
            const normal = this.worldNormal(best);
            if (normal === null) return;
            normal.y = 0;
            if (normal.lengthSq() < 0.000001) return;
            normal.normalize();
            if (normal.dot(dir) > 0) normal.negate();

            const remaining = this._remaining.copy(dir).multiplyScalar(length - moved);
            d.copy(remaining).addScaledVector(normal, -remaining.dot(normal));
        }
    }

    // Height of the highest ground under the body within `range` below `top`, or null.
    groundBelow(top, range) {
        let nearest = Infinity;
        const origin = this._origin;
        for (let i = 0; i < GROUND_RAY_OFFSETS.length; i += 2) {
            const ox = GROUND_RAY_OFFSETS[i] * this.radius;
            const oz = GROUND_RAY_OFFSETS[i + 1] * this.radius;
            origin.set(this.position.x + ox, top, this.position.z + oz);
            const hit = this.cast(origin, DOWN, range);
            if (hit !== null && hit.distance < nearest) nearest = hit.distance;
        }
        return nearest === Infinity ? null : top - nearest;
    }

    moveVertical(dy) {
        if (dy > 0) {
            const origin = this._origin.copy(this.position);
            origin.y += this.height - 0.05;
            if (this.cast(origin, UP, dy + 0.05) !== null) {
                this.verticalVelocity = 0; // head bump
                return;
            }
            this.position.y += dy;
            this.grounded = false;
            return;
        }
        // Probing from step height down lets the player walk up steps; the snap keeps a walking
        // player on slopes and down low steps.
        const snap = this.grounded ? this.stepHeight : 0;
        const top = this.position.y + this.stepHeight;
        const ground = this.groundBelow(top, this.stepHeight - dy + snap + 0.01);
        if (ground !== null && ground >= this.position.y + dy - snap) {
            this.position.y = ground;
            this.verticalVelocity = 0;
            this.grounded = true;
        } else {
            this.position.y += dy;
            this.grounded = false;
        }
    }

    applyToCamera(camera) {
        camera.position.set(this.position.x, this.position.y + this.eyeHeight, this.position.z);
        camera.rotation.set(this.pitch, this.yaw, 0, 'YXZ');
    }
}

// =============================================================================================
// [SECTION] Texture transform
// =============================================================================================

// glTF's KHR_texture_transform computes uv' = offset + rotate(scale * uv); three.js's own matrix
// scales after rotating, which differs for unequal tiling with a rotation. The texture keeps the
// offset, repeat and rotation the loader read; only the matrix is set by hand.
function applyGltfUvTransform(texture) {
    const c = Math.cos(texture.rotation);
    const s = Math.sin(texture.rotation);
    const sx = texture.repeat.x;
    const sy = texture.repeat.y;
    texture.matrixAutoUpdate = false;
    texture.matrix.set(c * sx, s * sy, texture.offset.x, -s * sx, c * sy, texture.offset.y, 0, 0, 1);
}

// =============================================================================================
// [SECTION] Input handlers
// =============================================================================================

let pointerLocked = false;
let dragLook = false; // pointer lock was refused: look while a mouse button is held
let mouseDragging = false;
let joystickPointer = null;
let lookPointer = null;
let lookX = 0;
let lookY = 0;

function showOverlay() {
    overlay.classList.remove('hidden');
}

function hideOverlay() {
    overlay.classList.add('hidden');
}

function pause() {
    input.active = false;
    input.keys.clear();
    showOverlay();
}

function startDragLook() {
    if (pointerLocked) return;
    dragLook = true;
    input.active = true;
    hideOverlay();
}

function startPlaying() {
    if (isTouch) {
        input.active = true;
        hideOverlay();
        try {
            const request = document.documentElement.requestFullscreen?.();
            if (request && typeof request.catch === 'function') request.catch(() => {});
        } catch {
            // full screen is a nicety
        }
        return;
    }
    try {
        const request = document.body.requestPointerLock();
        if (request && typeof request.catch === 'function') request.catch(startDragLook);
    } catch {
        startDragLook();
    }
}

function installInputHandlers() {
    window.addEventListener('keydown', (e) => {
        input.keys.add(e.code);
        if (e.code === 'Space') {
            e.preventDefault();
            if (!e.repeat && input.active) input.jumpQueued = true;
        }
        // Without pointer lock the browser keeps Esc for itself; pause here instead.
        if (e.code === 'Escape' && dragLook && input.active) pause();
    });
    window.addEventListener('keyup', (e) => input.keys.delete(e.code));
    window.addEventListener('blur', () => input.keys.clear());

    document.addEventListener('pointerlockchange', () => {
        if (document.pointerLockElement === document.body) {
            pointerLocked = true;
            dragLook = false;
            input.active = true;
            hideOverlay();
        } else if (pointerLocked) {
            pointerLocked = false;
            pause();
        }
    });
    document.addEventListener('pointerlockerror', startDragLook);

    if (!isTouch) {
        window.addEventListener('mousedown', () => { mouseDragging = true; });
        window.addEventListener('mouseup', () => { mouseDragging = false; });
        window.addEventListener('mousemove', (e) => {
            if (!input.active) return;
            if (pointerLocked || (dragLook && mouseDragging)) {
                input.lookDX += e.movementX;
                input.lookDY += e.movementY;
            }
        });
        return;
    }

    const updateStick = (e) => {
        const rect = joystick.getBoundingClientRect();
        const radius = rect.width / 2;
        const max = 0.75 * radius;
        let dx = e.clientX - (rect.left + radius);
        let dy = e.clientY - (rect.top + rect.height / 2);
        const length = Math.hypot(dx, dy);
        if (length > max) {
            dx *= max / length;
            dy *= max / length;
        }
        joystickKnob.style.transform = `translate(${dx}px, ${dy}px)`;
        input.moveX = max > 0 ? dx / max : 0;
        input.moveY = max > 0 ? -dy / max : 0;
    };
    const releaseStick = (e) => {
        if (e.pointerId !== joystickPointer) return;
        joystickPointer = null;
        input.moveX = 0;
        input.moveY = 0;
        joystickKnob.style.transform = '';
    };
    joystick.addEventListener('pointerdown', (e) => {
        e.preventDefault();
        joystickPointer = e.pointerId;
        try {
            joystick.setPointerCapture(e.pointerId);
        } catch {
            // capture is a nicety: moves still arrive while the finger stays on the stick
        }
        updateStick(e);
    });
    joystick.addEventListener('pointermove', (e) => {
        if (e.pointerId === joystickPointer) updateStick(e);
    });
    joystick.addEventListener('pointerup', releaseStick);
    joystick.addEventListener('pointercancel', releaseStick);

    jumpButton.addEventListener('pointerdown', (e) => {
        e.preventDefault();
        e.stopPropagation();
        if (input.active) input.jumpQueued = true;
        jumpButton.classList.add('pressed');
    });
    const releaseJump = () => jumpButton.classList.remove('pressed');
    jumpButton.addEventListener('pointerup', releaseJump);
    jumpButton.addEventListener('pointercancel', releaseJump);

    window.addEventListener('pointerdown', (e) => {
        if (!input.active || e.pointerType === 'mouse' || lookPointer !== null) return;
        if (joystick.contains(e.target) || jumpButton.contains(e.target)) return;
        lookPointer = e.pointerId;
        lookX = e.clientX;
        lookY = e.clientY;
    });
    window.addEventListener('pointermove', (e) => {
        if (e.pointerId !== lookPointer) return;
        const scale = TOUCH_SENSITIVITY / MOUSE_SENSITIVITY;
        input.lookDX += (e.clientX - lookX) * scale;
        input.lookDY += (e.clientY - lookY) * scale;
        lookX = e.clientX;
        lookY = e.clientY;
    });
    const releaseLook = (e) => {
        if (e.pointerId === lookPointer) lookPointer = null;
    };
    window.addEventListener('pointerup', releaseLook);
    window.addEventListener('pointercancel', releaseLook);
}

// =============================================================================================
// [SECTION] Start-up and frame loop
// =============================================================================================

async function main() {
    if (location.protocol === 'file:') {
        showError(
            'This game must be served over HTTP.\n' +
                'Use "Game > Build and Run" in ORVA 3D Studio, or upload the folder to any web server.'
        );
        return;
    }
    if (isTouch) {
        document.body.classList.add('touch');
        document.getElementById('desktop-help').hidden = true;
        document.getElementById('touch-help').hidden = false;
        playButton.textContent = 'Tap to play';
    }

    try {
        // 1. The manifest.
        const response = await fetch('game.json', { cache: 'no-store' });
        if (!response.ok) throw new Error('game.json: HTTP ' + response.status);
        const config = await response.json();
        if (config === null || typeof config !== 'object' || Array.isArray(config)) {
            throw new Error('game.json does not hold a JSON object.');
        }

        // 2. Renderer, scene and camera.
        const renderer = new THREE.WebGLRenderer({ antialias: true });
        renderer.setPixelRatio(Math.min(window.devicePixelRatio || 1, 2));
        renderer.setSize(window.innerWidth, window.innerHeight);
        renderer.toneMapping = THREE.ACESFilmicToneMapping;
        renderer.toneMappingExposure = 0.9;
        renderer.shadowMap.enabled = true;
        renderer.shadowMap.type = THREE.PCFSoftShadowMap;
        document.body.insertBefore(renderer.domElement, document.body.firstChild);

        const scene = new THREE.Scene();
        scene.background = new THREE.Color(0x9ec5ea);
        const camera = new THREE.PerspectiveCamera(70, window.innerWidth / window.innerHeight, 0.05, 2000);

        // 3. The level; the time stamp defeats caches after a rebuild.
        statusLine.textContent = 'Loading scene…';
        const sceneFile = typeof config.scene === 'string' && config.scene !== '' ? config.scene : 'scene.glb';
        const sceneUrl = sceneFile + (sceneFile.includes('?') ? '&' : '?') + 'v=' + Date.now();
        const gltf = await new GLTFLoader().loadAsync(sceneUrl);
        const level = gltf.scene;
        scene.add(level);
        const colliders = [];
        level.traverse((object) => {
            if (!object.isMesh) return;
            object.castShadow = true;
            object.receiveShadow = true;
            const materials = Array.isArray(object.material) ? object.material : [object.material];
            for (const material of materials) {
                if (!material) continue;
                material.side = THREE.DoubleSide; // planes and open meshes render and collide from both sides
                if (material.map) applyGltfUvTransform(material.map);
            }
            colliders.push(object);
        });
        scene.updateMatrixWorld(true);

        // 4. Outdoor lighting sized to the level.
        const bounds = new THREE.Box3().setFromObject(level);
        if (bounds.isEmpty()) bounds.set(new THREE.Vector3(-10, -1, -10), new THREE.Vector3(10, 1, 10));
        const size = bounds.getSize(new THREE.Vector3());
        const centre = bounds.getCenter(new THREE.Vector3());
        const extent = Math.max(size.x, size.y, size.z, 10);

        scene.add(new THREE.HemisphereLight(0xdfeaff, 0x5b5245, 0.9));
        const sun = new THREE.DirectionalLight(0xfff4e0, 1.9);
        sun.position.copy(centre).add(new THREE.Vector3(0.45, 1.0, 0.3).multiplyScalar(extent));
        sun.target.position.copy(centre);
        sun.castShadow = true;
        sun.shadow.mapSize.set(2048, 2048);
        const shadowCamera = sun.shadow.camera;
        shadowCamera.left = -0.75 * extent;
        shadowCamera.right = 0.75 * extent;
        shadowCamera.top = 0.75 * extent;
        shadowCamera.bottom = -0.75 * extent;
        shadowCamera.near = 0.1;
        shadowCamera.far = 4 * extent;
        shadowCamera.updateProjectionMatrix();
        sun.shadow.bias = -0.0003;
        sun.shadow.normalBias = 0.03;
        scene.add(sun, sun.target);
        scene.fog = new THREE.Fog(0x9ec5ea, 2 * extent, 8 * extent);

        // 5. The player.
        const player = new Player(config.player, config.spawn, colliders, bounds.min.y - 25);
        player.applyToCamera(camera);
        window.orva = { player, input, scene, camera, renderer };

        window.addEventListener('resize', () => {
            camera.aspect = window.innerWidth / window.innerHeight;
            camera.updateProjectionMatrix();
            renderer.setSize(window.innerWidth, window.innerHeight);
        });

        // 6. Ready.
        if (typeof config.title === 'string' && config.title !== '') {
            statusLine.textContent = '';
            statusLine.hidden = true;
        } else {
            statusLine.textContent = 'Ready';
        }
        playButton.hidden = false;
        installInputHandlers();
        overlay.addEventListener('click', () => {
            if (!input.active && playButton.hidden === false) startPlaying();
        });

        // 7. Frame loop.
        let last = performance.now();
        renderer.setAnimationLoop((now) => {
            const dt = Math.min(Math.max(0, (now - last) / 1000), 0.05);
            last = now;
            if (input.active) player.update(dt);
            player.applyToCamera(camera);
            renderer.render(scene, camera);
        });
    } catch (error) {
        console.error(error);
        showError('Could not load the game:\n' + (error && error.message ? error.message : String(error)));
    }
}

main();

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
    // longest axis (the other axes when one side would stay empty); at most BVH_LEAF_SIZE
    // triangles, or triangles that cannot be told apart, make a leaf.
    build() {
        const n = this.triangleCount;
        const tv = this.triangles;
        const vs = this.vertices;
        const boxes = new Float32Array(n * 6);
        const centroids = new Float32Array(n * 3);
        const order = new Uint32Array(n);
        for (let i = 0; i < n; i++) {
            order[i] = i;
            const a = tv[i * 3] * 3, b = tv[i * 3 + 1] * 3, c = tv[i * 3 + 2] * 3;
            for (let axis = 0; axis < 3; axis++) {
                const lo = Math.min(vs[a + axis], vs[b + axis], vs[c + axis]);
                const hi = Math.max(vs[a + axis], vs[b + axis], vs[c + axis]);
                boxes[i * 6 + axis] = lo;
                boxes[i * 6 + 3 + axis] = hi;
                centroids[i * 3 + axis] = (lo + hi) * 0.5;
            }
        }

        // Node arrays: box (6 floats); for a leaf the first position in `order` and the count, for
        // an inner node the two child indices.
        let capacity = Math.max(1, Math.ceil((4 * n) / BVH_LEAF_SIZE));
        let bounds = new Float32Array(capacity * 6);
        let links = new Uint32Array(capacity * 2);
        let leaf = new Uint8Array(capacity);
        const ensure = (count) => {
            if (count <= capacity) return;
            while (capacity < count) capacity *= 2;
            const b = new Float32Array(capacity * 6);
            b.set(bounds);
            bounds = b;
            const l = new Uint32Array(capacity * 2);
            l.set(links);
            links = l;
            const f = new Uint8Array(capacity);
            f.set(leaf);
            leaf = f;
        };

        const pad = this.pad;
        const lo = [0, 0, 0];
        const hi = [0, 0, 0];
        const cLo = [0, 0, 0];
        const cHi = [0, 0, 0];
        let nodeCount = 1;
        const work = [0, 0, n]; // triples: node, first, count
        while (work.length > 0) {
            const count = work.pop();
            const first = work.pop();
            const node = work.pop();
            lo[0] = lo[1] = lo[2] = cLo[0] = cLo[1] = cLo[2] = Infinity;
            hi[0] = hi[1] = hi[2] = cHi[0] = cHi[1] = cHi[2] = -Infinity;
            for (let i = first; i < first + count; i++) {
                const tri = order[i];
                for (let axis = 0; axis < 3; axis++) {
                    const bl = boxes[tri * 6 + axis], bh = boxes[tri * 6 + 3 + axis], c = centroids[tri * 3 + axis];
                    if (bl < lo[axis]) lo[axis] = bl;
                    if (bh > hi[axis]) hi[axis] = bh;
                    if (c < cLo[axis]) cLo[axis] = c;
                    if (c > cHi[axis]) cHi[axis] = c;
                }
            }
            for (let axis = 0; axis < 3; axis++) {
                bounds[node * 6 + axis] = lo[axis] - pad;
                bounds[node * 6 + 3 + axis] = hi[axis] + pad;
            }

            let mid = -1;
            if (count > BVH_LEAF_SIZE) {
                const axes = [0, 1, 2].sort((a, b) => cHi[b] - cLo[b] - (cHi[a] - cLo[a]));
                for (const axis of axes) {
                    if (!(cHi[axis] > cLo[axis])) break;
                    const split = (cLo[axis] + cHi[axis]) * 0.5;
                    let i = first;
                    let j = first + count - 1;
                    while (i <= j) {
                        if (centroids[order[i] * 3 + axis] < split) {
                            i++;
                        } else {
                            const swap = order[i];
                            order[i] = order[j];
                            order[j] = swap;
                            j--;
                        }
                    }
                    if (i > first && i < first + count) {
                        mid = i;
                        break;
                    }
                }
            }
            if (mid < 0) {
                leaf[node] = 1;
                links[node * 2] = first;
                links[node * 2 + 1] = count;
                continue;
            }
            ensure(nodeCount + 2);
            const left = nodeCount++;
            const right = nodeCount++;
            leaf[node] = 0;
            links[node * 2] = left;
            links[node * 2 + 1] = right;
            work.push(right, mid, first + count - mid, left, first, mid - first);
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
                const b1 = sign * (dx * (qy * e2z - qz * e2y) + dy * (qz * e2x - qx * e2z) + dz * (qx * e2y - qy * e2x));
                if (b1 < 0) continue;
                const b2 = sign * (dx * (e1y * qz - e1z * qy) + dy * (e1z * qx - e1x * qz) + dz * (e1x * qy - e1y * qx));
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
const GROUND_RAY_OFFSETS = [[0, 0], [0.7, 0], [-0.7, 0], [0, 0.7], [0, -0.7]]; // times the radius, in x and z
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
        if (!this.bvh.raycast(origin.x, origin.y, origin.z, direction.x, direction.y, direction.z, far, hit)) return null;
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
            const heights = [this.stepHeight + 0.05, this.height * 0.55, this.height - 0.1];
            for (const h of heights) {
                for (const s of HORIZONTAL_RAY_SIDES) {
                    origin.copy(this.position).addScaledVector(side, s * this.radius);
                    origin.y += h;
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
        for (const [ox, oz] of GROUND_RAY_OFFSETS) {
            origin.set(this.position.x + ox * this.radius, top, this.position.z + oz * this.radius);
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
        const gltf = await new GLTFLoader().loadAsync(sceneFile + (sceneFile.includes('?') ? '&' : '?') + 'v=' + Date.now());
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

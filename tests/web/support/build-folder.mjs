// Lays out a web game build folder the way the editor's web build does: the runtime files at
// their relative paths, plus game.json and scene.glb.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const repoRoot = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');

// Relative path in the build folder -> source file in the repository.
export const runtimeFiles = [
    ['index.html', 'src/resources/web/index.html'],
    ['orva-player.js', 'src/resources/web/orva-player.js'],
    ['assets/orva-icon.png', 'src/resources/web/assets/orva-icon.png'],
    ['assets/orva-wordmark.png', 'src/resources/web/assets/orva-wordmark.png'],
    ['lib/three.module.min.js', 'node_modules/three/build/three.module.min.js'],
    ['lib/loaders/GLTFLoader.js', 'node_modules/three/examples/jsm/loaders/GLTFLoader.js'],
    ['lib/utils/BufferGeometryUtils.js', 'node_modules/three/examples/jsm/utils/BufferGeometryUtils.js'],
    ['lib/THREE_LICENSE.txt', 'node_modules/three/LICENSE'],
];

// The "player" object of game.json as the editor writes it.
export const playerSettings = {
    eyeHeight: 1.6,
    gravity: 18.0,
    height: 1.7,
    jumpSpeed: 5.5,
    radius: 0.3,
    runSpeed: 8.0,
    stepHeight: 0.35,
    walkSpeed: 4.5,
};

function escapeHtml(text) {
    const entities = { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' };
    return text.replace(/[&<>"']/g, (c) => entities[c]);
}

// Writes the build into `dir` (created). options: { title, glb (bytes, or null for none),
// game (the game.json object, or a string written as is, or null for none) }.
export function writeBuildFolder(dir, { title = 'Test Game', glb = null, game } = {}) {
    fs.mkdirSync(dir, { recursive: true });
    for (const [relative, source] of runtimeFiles) {
        const target = path.join(dir, relative);
        fs.mkdirSync(path.dirname(target), { recursive: true });
        const from = path.join(repoRoot, source);
        if (!fs.existsSync(from)) throw new Error(`missing runtime file ${from} (run npm ci)`);
        if (relative === 'index.html') {
            fs.writeFileSync(target, fs.readFileSync(from, 'utf8').replaceAll('{{TITLE}}', escapeHtml(title)));
        } else {
            fs.copyFileSync(from, target);
        }
    }
    if (glb !== null) fs.writeFileSync(path.join(dir, 'scene.glb'), glb);
    if (game === undefined) {
        game = {
            generator: 'ORVA 3D Studio 0.1.0',
            player: playerSettings,
            scene: 'scene.glb',
            spawn: { pitchDeg: 0, position: [0, 0, 5], yawDeg: 0 },
            title,
        };
    }
    if (game !== null) {
        fs.writeFileSync(path.join(dir, 'game.json'), typeof game === 'string' ? game : JSON.stringify(game, null, 2));
    }
    return dir;
}

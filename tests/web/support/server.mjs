// A tiny static file server for a build folder on 127.0.0.1 and a free port.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const contentTypes = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.json': 'application/json',
    '.glb': 'model/gltf-binary',
    '.png': 'image/png',
    '.txt': 'text/plain; charset=utf-8',
};

// Resolves to { url, close() } once the server listens. The url ends with "/".
export function serveFolder(root) {
    const server = http.createServer((request, response) => {
        const pathname = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
        const file = path.join(root, pathname.endsWith('/') ? pathname + 'index.html' : pathname);
        if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            response.writeHead(404, { 'Content-Type': 'text/plain' });
            response.end('Not Found');
            return;
        }
        const body = fs.readFileSync(file);
        response.writeHead(200, {
            'Content-Type': contentTypes[path.extname(file)] ?? 'application/octet-stream',
            'Content-Length': body.length,
            'Cache-Control': 'no-cache',
        });
        response.end(body);
    });
    return new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(0, '127.0.0.1', () => {
            const { port } = server.address();
            resolve({
                url: `http://127.0.0.1:${port}/`,
                close: () => new Promise((done) => server.close(done)),
            });
        });
    });
}

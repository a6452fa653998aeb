#!/usr/bin/env python3
"""Writes the hand-made model files of the import tests into the folder given as argument (normally
tests/data/import). The FBX files are ASCII FBX 7.4 with only the records the readers need."""
HEADER = '''; FBX 7.4.0 project file
; Hand-written test fixture for ORVA 3D Studio's model import tests.
; ----------------------------------------------------

FBXHeaderExtension:  {
	FBXHeaderVersion: 1003
	FBXVersion: 7400
	Creator: "ORVA test fixture"
}
GlobalSettings:  {
	Version: 1000
	Properties70:  {
%s	}
}

Documents:  {
	Count: 1
	Document: 100, "", "Scene" {
		Properties70:  {
		}
		RootNode: 0
	}
}

References:  {
}

Definitions:  {
	Version: 100
	Count: 1
	ObjectType: "GlobalSettings" {
		Count: 1
	}
}

'''

def fmt(v):
    if isinstance(v, float):
        s = repr(v)
        return s[:-2] if s.endswith('.0') else s
    return str(v)

def arr(vals):
    return ','.join(fmt(v) for v in vals)

class Fbx:
    def __init__(self, up=1, up_sign=1, front=2, front_sign=1, coord=0, coord_sign=1, unit=1.0):
        self.settings = [("UpAxis", "int", "Integer", up), ("UpAxisSign", "int", "Integer", up_sign),
                         ("FrontAxis", "int", "Integer", front), ("FrontAxisSign", "int", "Integer", front_sign),
                         ("CoordAxis", "int", "Integer", coord), ("CoordAxisSign", "int", "Integer", coord_sign),
                         ("UnitScaleFactor", "double", "Number", unit)]
        self.objects = []
        self.connections = []
        self.next_id = 1000

    def id(self):
        self.next_id += 1
        return self.next_id

    def geometry(self, name, vertices, polygons, material_per_polygon=None, uvs=None, normals=None):
        gid = self.id()
        flat = [c for v in vertices for c in v]
        pvi = []
        for poly in polygons:
            pvi += list(poly[:-1]) + [-poly[-1] - 1]
        s = f'\tGeometry: {gid}, "Geometry::{name}", "Mesh" {{\n'
        s += f'\t\tVertices: *{len(flat)} {{\n\t\t\ta: {arr(flat)}\n\t\t}}\n'
        s += f'\t\tPolygonVertexIndex: *{len(pvi)} {{\n\t\t\ta: {arr(pvi)}\n\t\t}}\n'
        s += '\t\tGeometryVersion: 124\n'
        layers = []
        if normals is not None:  # one normal per polygon corner
            nf = [c for n in normals for c in n]
            s += ('\t\tLayerElementNormal: 0 {\n\t\t\tVersion: 101\n\t\t\tName: ""\n'
                  '\t\t\tMappingInformationType: "ByPolygonVertex"\n\t\t\tReferenceInformationType: "Direct"\n'
                  f'\t\t\tNormals: *{len(nf)} {{\n\t\t\t\ta: {arr(nf)}\n\t\t\t}}\n\t\t}}\n')
            layers.append("LayerElementNormal")
        if uvs is not None:  # one UV per polygon corner
            uf = [c for uv in uvs for c in uv]
            s += ('\t\tLayerElementUV: 0 {\n\t\t\tVersion: 101\n\t\t\tName: "UVMap"\n'
                  '\t\t\tMappingInformationType: "ByPolygonVertex"\n\t\t\tReferenceInformationType: "Direct"\n'
                  f'\t\t\tUV: *{len(uf)} {{\n\t\t\t\ta: {arr(uf)}\n\t\t\t}}\n\t\t}}\n')
            layers.append("LayerElementUV")
        mats = material_per_polygon if material_per_polygon is not None else [0] * len(polygons)
        mapping = "ByPolygon" if len(set(mats)) > 1 else "AllSame"
        vals = mats if mapping == "ByPolygon" else [mats[0]]
        s += ('\t\tLayerElementMaterial: 0 {\n\t\t\tVersion: 101\n\t\t\tName: ""\n'
              f'\t\t\tMappingInformationType: "{mapping}"\n\t\t\tReferenceInformationType: "IndexToDirect"\n'
              f'\t\t\tMaterials: *{len(vals)} {{\n\t\t\t\ta: {arr(vals)}\n\t\t\t}}\n\t\t}}\n')
        layers.append("LayerElementMaterial")
        s += '\t\tLayer: 0 {\n\t\t\tVersion: 100\n'
        for l in layers:
            s += f'\t\t\tLayerElement:  {{\n\t\t\t\tType: "{l}"\n\t\t\t\tTypedIndex: 0\n\t\t\t}}\n'
        s += '\t\t}\n\t}\n'
        self.objects.append(s)
        return gid

    def model(self, name, kind="Mesh", parent=0, translation=None, rotation=None, scaling=None, extra=()):
        mid = self.id()
        props = []
        if translation: props.append(f'P: "Lcl Translation", "Lcl Translation", "", "A",{arr(translation)}')
        if rotation: props.append(f'P: "Lcl Rotation", "Lcl Rotation", "", "A",{arr(rotation)}')
        if scaling: props.append(f'P: "Lcl Scaling", "Lcl Scaling", "", "A",{arr(scaling)}')
        props += list(extra)
        s = f'\tModel: {mid}, "Model::{name}", "{kind}" {{\n\t\tVersion: 232\n\t\tProperties70:  {{\n'
        for p in props:
            s += f'\t\t\t{p}\n'
        s += '\t\t}\n\t\tShading: T\n\t\tCulling: "CullingOff"\n\t}\n'
        self.objects.append(s)
        self.connections.append((mid, parent))
        return mid

    def material(self, name, diffuse=(0.8, 0.8, 0.8), extra=()):
        mid = self.id()
        s = (f'\tMaterial: {mid}, "Material::{name}", "" {{\n\t\tVersion: 102\n\t\tShadingModel: "lambert"\n'
             f'\t\tMultiLayer: 0\n\t\tProperties70:  {{\n'
             f'\t\t\tP: "DiffuseColor", "Color", "", "A",{arr(diffuse)}\n')
        for p in extra:
            s += f'\t\t\t{p}\n'
        s += '\t\t}\n\t}\n'
        self.objects.append(s)
        return mid

    def attribute(self, kind, name="", props=()):
        aid = self.id()
        s = f'\tNodeAttribute: {aid}, "NodeAttribute::{name}", "{kind}" {{\n\t\tProperties70:  {{\n'
        for p in props:
            s += f'\t\t\t{p}\n'
        s += '\t\t}\n'
        if kind == "Camera":
            s += '\t\tTypeFlags: "Camera"\n\t\tGeometryVersion: 124\n'
        else:
            s += '\t\tTypeFlags: "Light"\n\t\tGeometryVersion: 124\n'
        s += '\t}\n'
        self.objects.append(s)
        return aid

    def connect(self, child, parent):
        self.connections.append((child, parent))

    def text(self):
        settings = ''.join(f'\t\tP: "{n}", "{t}", "{l}", "",{fmt(v)}\n' for n, t, l, v in self.settings)
        s = HEADER % settings
        s += 'Objects:  {\n' + ''.join(self.objects) + '}\n\n'
        s += 'Connections:  {\n' + ''.join(f'\tC: "OO",{c},{p}\n' for c, p in self.connections) + '}\n'
        return s

def box(lo, hi):
    (x0, y0, z0), (x1, y1, z1) = lo, hi
    v = [(x0, y0, z0), (x1, y0, z0), (x1, y1, z0), (x0, y1, z0), (x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)]
    # counter-clockwise seen from outside
    f = [(0, 3, 2, 1), (4, 5, 6, 7), (0, 1, 5, 4), (1, 2, 6, 5), (2, 3, 7, 6), (3, 0, 4, 7)]
    return v, f

import math
import sys
out = sys.argv[1]

# A box in centimetres with Z up, as 3ds Max writes them.
f = Fbx(up=2, up_sign=1, front=1, front_sign=-1, coord=0, coord_sign=1, unit=1.0)
v, p = box((-60, -60, 0), (60, 60, 120))
g = f.geometry("Box", v, p)
m = f.model("Box", translation=(100, 0, 50))
mat = f.material("Grey")
f.connect(g, m); f.connect(mat, m)
open(f'{out}/zup_cm_box.fbx', 'w').write(f.text())
with open(f'{out}/zup_cm_box.obj', 'w') as o:
    o.write('# The box of zup_cm_box.fbx as OBJ: same numbers, no unit or axis conversion.\no Box\n')
    for x in v: o.write('v %g %g %g\n' % x)
    for q in p: o.write('f ' + ' '.join(str(i + 1) for i in q) + '\n')

# Hierarchy, materials and geometric transforms, in metres with Y up.
f = Fbx(unit=100.0)
wood = f.material("Wood", (0.6, 0.4, 0.2))
metal = f.material("Metal", (0.7, 0.7, 0.75), extra=['P: "Opacity", "double", "Number", "",0.5'])
unnamed = f.material("", (0.1, 0.2, 0.3))
v, p = box((-0.5, 0, -0.5), (0.5, 1, 0.5))
g = f.geometry("Crate", v, p, material_per_polygon=[0, 0, 1, 1, 2, 0])
crate = f.model("Crate", translation=(2, 0, 0))
f.connect(g, crate); f.connect(wood, crate); f.connect(metal, crate); f.connect(unnamed, crate)
group = f.model("Group", kind="Null", parent=crate, translation=(0, 1, 0))
v, p = box((-0.5, 0, -0.5), (0.5, 0.1, 0.5))
g = f.geometry("Lid", v, p)
lid = f.model("Lid", parent=group, translation=(0, 0.5, 0),
              extra=['P: "GeometricTranslation", "Vector3D", "Vector", "",0,0,0.25'])
f.connect(g, lid); f.connect(wood, lid)
v, p = box((-0.1, 0, -0.1), (0.1, 0.2, 0.1))
g = f.geometry("Knob", v, p)
knob = f.model("Knob", parent=lid, translation=(0, 0.1, 0), extra=['P: "Show", "bool", "", "",0'])
f.connect(g, knob); f.connect(metal, knob)
open(f'{out}/two_materials.fbx', 'w').write(f.text())

# Only a camera and a light.
f = Fbx(unit=100.0)
cam = f.attribute("Camera", "Camera", ['P: "FieldOfView", "FieldOfView", "", "A",40'])
cm = f.model("Camera", kind="Camera", translation=(0, 2, 5))
f.connect(cam, cm)
light = f.attribute("Light", "Light", ['P: "LightType", "enum", "", "",0', 'P: "Intensity", "Number", "", "A",100'])
lm = f.model("Light", kind="Light", translation=(3, 4, 0))
f.connect(light, lm)
open(f'{out}/camera_light_only.fbx', 'w').write(f.text())

# A cube whose normals are the face normals (flat) and a sphere with averaged normals (smooth).
with open(f'{out}/flat_cube.obj', 'w') as o:
    o.write('# Every corner normal equals its face normal: imports flat.\no FlatCube\n')
    v, p = box((-1, -1, -1), (1, 1, 1))
    for x in v: o.write('v %g %g %g\n' % x)
    normals = [(0, 0, -1), (0, 0, 1), (0, -1, 0), (1, 0, 0), (0, 1, 0), (-1, 0, 0)]
    for n in normals: o.write('vn %g %g %g\n' % n)
    for i, q in enumerate(p): o.write('f ' + ' '.join('%d//%d' % (k + 1, i + 1) for k in q) + '\n')
with open(f'{out}/smooth_sphere.obj', 'w') as o:
    o.write('# A UV sphere whose corner normals point away from the centre: imports smooth.\no SmoothSphere\n')
    rings, segs = 6, 8
    verts = [(0, 1, 0)]
    for r in range(1, rings):
        t = math.pi * r / rings
        for s in range(segs):
            a = 2 * math.pi * s / segs
            verts.append((math.sin(t) * math.cos(a), math.cos(t), -math.sin(t) * math.sin(a)))
    verts.append((0, -1, 0))
    for x in verts: o.write('v %.6f %.6f %.6f\n' % x)
    for x in verts: o.write('vn %.6f %.6f %.6f\n' % x)
    def ring(r, s): return 1 + (r - 1) * segs + (s % segs)
    last = len(verts) - 1
    faces = []
    for s in range(segs): faces.append((0, ring(1, s), ring(1, s + 1)))
    for r in range(1, rings - 1):
        for s in range(segs): faces.append((ring(r, s), ring(r + 1, s), ring(r + 1, s + 1), ring(r, s + 1)))
    for s in range(segs): faces.append((ring(rings - 1, s), last, ring(rings - 1, s + 1)))
    for q in faces: o.write('f ' + ' '.join('%d//%d' % (k + 1, k + 1) for k in q) + '\n')

# A property of a type the FBX reader cannot put into node metadata (KTime) fails one of its
# internal checks; Debian's build aborts the process there unless the check is taken over.
f = Fbx(unit=100.0)
v, p = box((-0.5, -0.5, -0.5), (0.5, 0.5, 0.5))
g = f.geometry("Box", v, p)
m = f.model("Box", extra=['P: "LastRender", "KTime", "Time", "",0'])
mat = f.material("Grey")
f.connect(g, m); f.connect(mat, m)
open(f'{out}/internal_check.fbx', 'w').write(f.text())

# A file whose X axis points the other way (CoordAxisSign -1): a left-handed set of axes, so the
# conversion mirrors and must reverse the corner order to keep the faces pointing outwards.
f = Fbx(coord_sign=-1, unit=100.0)
v, p = box((1, 0, 0), (2, 1, 1))
g = f.geometry("Box", v, p)
m = f.model("Box")
mat = f.material("Grey")
f.connect(g, m); f.connect(mat, m)
open(f'{out}/mirrored_axes.fbx', 'w').write(f.text())

# A pivot: the box turns 90 degrees about Z around the point (1, 0, 0) instead of its origin.
f = Fbx(unit=100.0)
v, p = box((0, 0, 0), (1, 1, 1))
g = f.geometry("Box", v, p)
m = f.model("Box", rotation=(0, 0, 90), extra=['P: "RotationPivot", "Vector3D", "Vector", "",1,0,0'])
mat = f.material("Grey")
f.connect(g, m); f.connect(mat, m)
open(f'{out}/pivot.fbx', 'w').write(f.text())

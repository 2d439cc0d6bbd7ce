// tga: OpenGL textures from uncompressed 8/24/32-bit TGA files.
// Every function needs a current rendering context on the calling thread and
// returns the name of a new texture object, or 0 when none was made: a file
// that cannot be opened, a file that cannot be read, one that is not an
// uncompressed type 2/3 image, is shorter than its header, has a negative
// size or the wrong depth, or memory that runs out. A file that ends inside
// its pixel data loads, the missing texels zero. A call that returns 0 has
// made no GL call. GL errors are left in the GL error state; the code that
// gluBuild2DMipmaps returns is not kept (it sets no GL error). The name is
// returned all the same.
// On success GL_UNPACK_ALIGNMENT is 1, the new texture is bound and the
// texture environment mode is GL_MODULATE.
//
// Largest image: every upload refuses (0, no GL call, nothing read past the
// header) an image whose texel data for one gluBuild2DMipmaps or
// glTexImage2D call would exceed TGA_MAX_UPLOAD_BYTES: width * height *
// bytes per texel, that is 4 for a 32-bit file, 3 for a 24-bit file or cube
// face and for a DOT3 map, 2 for a du/dv map, 1 for an 8-bit file. The limit
// guards each cube face too, which goes to glTexImage2D at its own size. Both
// GLU mipmap builders (Mesa's and Wine's glu32) compute offsets into the
// image in 32-bit integers and crash beyond it (a 23171 x 23171 32-bit or
// 26756 x 26756 24-bit image); 23170 x 23170 at 32 bits still loads. Every
// 8-bit image is below it.
//
// The limit counts the image as stored, not the power-of-two size that
// gluBuild2DMipmaps first scales a 2D or DOT3 upload to: each side goes to
// the nearer power of two, halfway (3 * 2^k) going up, so 24575 becomes 16384
// and 24576 becomes 32768, as far as GL_MAX_TEXTURE_SIZE and proxy textures
// allow. With the 32768 of most desktop drivers (llvmpipe has 16384) a
// 24576 x 12288 32-bit image, 1207959552 bytes and accepted, becomes 32768 x
// 16384 x 4 = 2^31 bytes. Both builders compute that buffer's size in a
// 32-bit int, which comes out negative, and the allocation fails cleanly:
// gluBuild2DMipmaps returns GLU_OUT_OF_MEMORY with no texture call but its
// proxy query, nothing written out of place and the pixel store state put
// back, so the upload returns a texture without an image and no GL error.
// That happens from 2^31 scaled bytes: at 32 bits once the sides reach 24576
// and 12288 (either way round), at 24 bits and for DOT3 maps once both reach
// 24576; 24576 x 12287 at 32 bits, scaled to 32768 x 8192 x 4 = 2^30 bytes,
// still loads. No accepted image scales to 2^32 bytes, where the size would
// wrap round to a small allocation.
#ifndef TGA_TGA_H
#define TGA_TGA_H

#define TGA_MAX_UPLOAD_BYTES 2147483647u

// The five functions are C functions (unmangled names, exported by name
// from tga.dll) with the __cdecl calling convention. The header says so
// explicitly, so that a 32-bit program built with another default (MSVC's
// /Gz or /Gr) still calls them right; on x64 Windows there is one
// convention and it changes nothing. On 32-bit Windows too the exported
// names are undecorated (TGA_UploadImage, not _TGA_UploadImage), and the
// import libraries map the compilers' decorated references to them. A
// program includes this header with no defines of its own and links the
// import library.
#if defined(_WIN32) && !defined(TGA_BUILDING)
#define TGA_API __declspec(dllimport)
#else
#define TGA_API
#endif
#ifdef _WIN32
#define TGA_CALL __cdecl
#else
#define TGA_CALL
#endif

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// Mipmapped 2D texture: 8-bit files become GL_ALPHA8, 24-bit GL_RGB8,
// 32-bit GL_RGBA8.
TGA_API unsigned int TGA_CALL TGA_UploadImage(const char *file_name);

// The same from the size bytes of a whole TGA file at bytes, taken exactly
// as TGA_UploadImage takes the file: a program that reads its images from
// an archive, or decodes other formats into such a file, uploads them here.
// The bytes are only read, and the caller keeps them.
TGA_API unsigned int TGA_CALL TGA_UploadImageMemory(const void *bytes, size_t size);

// Cube map from six 24-bit files, one per face in this order, base level
// only. Files after the first one refused are not opened.
TGA_API unsigned int TGA_CALL TGA_UploadCube(const char *positive_x, const char *negative_x,
                                             const char *positive_y, const char *negative_y,
                                             const char *positive_z, const char *negative_z);

// DOT3 normal map (mipmapped RGB) from an 8-bit height map.
TGA_API unsigned int TGA_CALL TGA_UploadDOT3(const char *file_name);

// Signed du/dv offset map (base level only) from an 8-bit height map. The
// driver must know the du/dv formats (0x60A4, 0x60A5); one that does not
// leaves an empty texture and a GL error. Both height-map uploads enable
// GL_TEXTURE_2D.
TGA_API unsigned int TGA_CALL TGA_UploadDUDV(const char *file_name);

#ifdef __cplusplus
}
#endif

#endif

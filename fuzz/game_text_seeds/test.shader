// Shaders of a test model: every stage keyword that is read.
models/players/test/cape
{
	cull disable
	deformVertexes wave 100 sin 0 0.5 0 1
	surfaceparm nomarks
	{
		clampMap models/players/test/cape.tga
		alphaFunc GE128
		depthWrite
		rgbGen lightingDiffuse
	}
	{
		map $whiteimage
		blendFunc GL_DST_COLOR GL_ONE_MINUS_SRC_ALPHA
		rgbGen const ( 0.5 0.25 1 )
		tcGen environment
	}
}

/* the glow over the torso */
models/players/test/torso
{
	{
		animMap 4 models/players/test/glow1.tga models/players/test/glow2.tga
		blendFunc add
		rgbGen wave triangle 0.5 0.5 0 2
		tcMod scroll 0.5 -1
		tcMod rotate 30
		tcMod turb 0 0.1 0 1
		tcMod scale 2 2
	}
	{
		map $lightmap
		blendfunc filter
	}
}
textures/test/plain { { map textures/test/plain.jpg
 rgbGen identity } }

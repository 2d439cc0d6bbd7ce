# Copies the sample files into the seed directories by kind:
#   cmake -DFROM=dir -DTO=seed_dir -P copy_samples.cmake
file(GLOB md3_files ${FROM}/*.md3)
file(GLOB tga_files ${FROM}/*.tga)
file(COPY ${md3_files} DESTINATION ${TO}/md3)
file(COPY ${tga_files} DESTINATION ${TO}/tga)

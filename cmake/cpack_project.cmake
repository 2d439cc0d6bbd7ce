# Read by cpack before it packs: the tree's time stamp for the strip step,
# which would otherwise stamp the programs with the time of packing.
if(CPACK_MD3V_SOURCE_DATE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_MD3V_SOURCE_DATE_EPOCH}")
endif()
